#include "ToolkitWrappers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QThread>
#include <QtGlobal>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <new>

#include "EventLog.h"
#include "GuardedCall.h"
#include "ImageFileChecks.h"
#include "SystemInfo.h"
#include "TiffLayout.h"
#include "TiffMessages.h"
#include "WideSamples.h"

namespace {

QString FileName(const std::string& name) {
  return QFile::decodeName(QByteArray::fromStdString(name));
}

void LimitDecoding() {
  static std::once_flag once;
  std::call_once(once, [] {
    QImageReader::setAllocationLimit(kDecodeLimitMegabytes);
    RouteTiffMessagesToLog();
  });
}

bool IsGreyRamp(const QList<QRgb>& table) {
  for (qsizetype i = 0; i < table.size(); ++i)
    if (table[i] != qRgb(static_cast<int>(i), static_cast<int>(i), static_cast<int>(i)))
      return false;
  return true;
}

// A decoded image in a format of the depth table. Colour palettes become
// true colour (so the grey rule sees colours, not indices) and 16-bit
// samples are scaled to 8 bits by their significant bits (`fileBits`, 0
// when the file states none); grey stays grey.
GuardedFailure ToTable(QImage decoded, TBitmap& bitmap, int fileBits = 0,
                       const std::string& source = "") {
  QImage image;
  ToolkitPixelFormat format;
  if (HasWideSamples(decoded)) decoded = EightBitSamples(decoded, fileBits, source);
  switch (decoded.format()) {
    case QImage::Format_Grayscale8:
      image = decoded;
      format = ToolkitPixelFormat::k8Bit;
      break;
    case QImage::Format_Indexed8:
      if (IsGreyRamp(decoded.colorTable())) {
        image = decoded;
        format = ToolkitPixelFormat::k8Bit;
      } else {
        image = decoded.convertToFormat(QImage::Format_BGR888);
        format = ToolkitPixelFormat::k24Bit;
      }
      break;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
      image = decoded;
      format = ToolkitPixelFormat::k32Bit;
      break;
    case QImage::Format_BGR888:
      image = decoded;
      format = ToolkitPixelFormat::k24Bit;
      break;
    case QImage::Format_RGB16:
      image = decoded;
      format = ToolkitPixelFormat::k16Bit;
      break;
    default:
      if (decoded.hasAlphaChannel()) {
        image = decoded.convertToFormat(QImage::Format_ARGB32);
        format = ToolkitPixelFormat::k32Bit;
      } else {
        image = decoded.convertToFormat(QImage::Format_BGR888);
        format = ToolkitPixelFormat::k24Bit;
      }
  }
  if (image.isNull()) return "unable to convert the decoded image";
  bitmap.image = std::move(image);
  bitmap.format = format;
  return std::nullopt;
}

// Reads a file strictly as one format (no guessing from the content).
GuardedFailure Decode(QIODevice& device, const char* format, QImage& out) {
  LimitDecoding();
  QImageReader reader(&device, format);
  reader.setAutoDetectImageFormat(false);
  reader.setDecideFormatFromContent(false);
  QImage image = reader.read();
  if (image.isNull()) return reader.errorString().toStdString();
  out = std::move(image);
  return std::nullopt;
}

// Reads a whole file; the reason in words when it cannot.
GuardedFailure ReadWholeFile(const std::string& fileName, QByteArray& data) {
  const int fd = open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return ErrnoText(errno);
  GuardedFailure failure;
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    failure = ErrnoText(errno);
  } else if (!S_ISREG(st.st_mode)) {
    failure = "not a regular file";
  } else if (static_cast<std::uint64_t>(st.st_size) > kDecodeLimitBytes) {
    failure = "the file is larger than " + std::to_string(kDecodeLimitMegabytes) + " MB";
  } else {
    data.resize(static_cast<qsizetype>(st.st_size));
    qsizetype done = 0;
    while (done < data.size()) {
      const ssize_t got =
          read(fd, data.data() + done, static_cast<std::size_t>(data.size() - done));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) failure = ErrnoText(errno);
      if (got <= 0) break;
      done += got;
    }
    data.resize(done);
  }
  close(fd);
  return failure;
}

// Reads a whole file, checks its bytes as the kind and decodes it strictly
// as that format. The failure is the reason alone, without the file's name.
GuardedFailure DecodeFile(const std::string& fileName, ImageFileKind kind, QByteArray& data,
                          QImage& decoded) {
  if (auto failure = ReadWholeFile(fileName, data)) return failure;
  if (auto failure =
          CheckImageFile(std::string_view(data.constData(), data.size()), kind, kDecodeLimitBytes))
    return failure;
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  const QByteArray format = QByteArray(ImageFileKindName(kind)).toLower();
  if (auto failure = Decode(buffer, format.constData(), decoded)) {
    if (!failure->empty()) (*failure)[0] = static_cast<char>(std::tolower((*failure)[0]));
    return "damaged (" + *failure + ")";
  }
  return std::nullopt;
}

// Runs a file loader: the log names the file, `why` gets the reason alone.
bool LoadGuarded(const char* name, const std::string& fileName, std::string* why,
                 const std::function<GuardedFailure()>& load) {
  std::string reason, logged;
  const bool ok = GuardedCall(
      name,
      [&](bool&) -> GuardedFailure {
        if (auto problem = load()) {
          reason = *problem;
          return fileName + ": " + *problem;
        }
        return std::nullopt;
      },
      &logged);
  if (!ok && why != nullptr) *why = reason.empty() ? logged : reason;  // an exception's text
  return ok;
}

// Loads a file strictly as one kind for a picture's wrapper `name`; `take`
// keeps what the picture needs of the file's bytes and decoded image.
bool LoadPicture(const char* name, bool pictureMissing, const std::string& fileName,
                 std::string* why, ImageFileKind kind,
                 const std::function<void(QByteArray&, QImage&)>& take) {
  if (pictureMissing)
    return GuardedCall(name, [&](bool&) -> GuardedFailure {
      const std::string wrapper = name;  // the picture's class, then "_LoadFromFile"
      return "destination " + wrapper.substr(0, wrapper.find('_')) + " is undefined!!!";
    });
  return LoadGuarded(name, fileName, why, [&]() -> GuardedFailure {
    QByteArray data;
    QImage decoded;
    if (auto failure = DecodeFile(fileName, kind, data, decoded)) return failure;
    take(data, decoded);
    return std::nullopt;
  });
}

// A decoded PNG or TIFF picture into the bitmap, 16-bit samples by the
// picture's significant bits.
template <typename Picture>
bool AssignDecoded(TBitmap* bitmap, const Picture* picture, const char* kind) {
  return GuardedCall("TBitmap_Assign", [&](bool&) -> GuardedFailure {
    if (picture == nullptr) return "source image is undefinded!!!";
    if (bitmap == nullptr) return "destination image is undefinded!!!";
    if (picture->decoded.isNull()) return std::string("the ") + kind + " picture holds no image";
    return ToTable(picture->decoded, *bitmap, picture->significantBits, picture->fileName);
  });
}

QImage::Format QtFormat(ToolkitPixelFormat format) {
  switch (format) {
    case ToolkitPixelFormat::k1Bit:
      return QImage::Format_Mono;
    case ToolkitPixelFormat::k4Bit:
    case ToolkitPixelFormat::k8Bit:
      return QImage::Format_Indexed8;
    case ToolkitPixelFormat::k15Bit:
      return QImage::Format_RGB555;
    case ToolkitPixelFormat::k16Bit:
      return QImage::Format_RGB16;
    case ToolkitPixelFormat::k24Bit:
      return QImage::Format_BGR888;
    case ToolkitPixelFormat::k32Bit:
      return QImage::Format_RGB32;
    default:
      return QImage::Format_Invalid;
  }
}

QList<QRgb> GreyRamp() {
  QList<QRgb> table;
  for (int i = 0; i < 256; ++i) table.push_back(qRgb(i, i, i));
  return table;
}

template <typename T>
T* Create(const char* name, const char* failure) {
  LogMessage(std::string("entering ") + name + "()...");
  T* object = new (std::nothrow) T;
  if (object == nullptr) LogMessage(std::string("ERROR: ") + failure);
  LogMessage(std::string("exiting  ") + name + "()...");
  return object;
}

template <typename T>
bool Destroy(const char* name, T* object) {
  return GuardedCall(name, [&](bool&) -> GuardedFailure {
    if (object == nullptr) LogMessage("ERROR: trying to delete NULL pointer!!!");
    delete object;
    return std::nullopt;
  });
}

}  // namespace

TBitmap* TBitmap_Create() {
  return Create<TBitmap>("TBitmap_Create", "unable to create TBitmap...");
}

bool TBitmap_Destroy(TBitmap* bitmap) {
  return Destroy("TBitmap_Destroy", bitmap);
}

bool TBitmap_SetDimensions(TBitmap* bitmap, int width, int height, ToolkitPixelFormat format) {
  return GuardedCall("TBitmap_SetDimensions", [&](bool&) -> GuardedFailure {
    if (bitmap == nullptr) return "destination TBitmap is undefined!!!";
    const QImage::Format qt = QtFormat(format);
    if (qt == QImage::Format_Invalid) return "pixel format without a layout";
    QImage image(width, height, qt);
    if (image.isNull())
      return "unable to make a bitmap of " + std::to_string(width) + " x " + std::to_string(height);
    if (qt == QImage::Format_Indexed8) image.setColorTable(GreyRamp());
    if (qt == QImage::Format_Mono) image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.fill(0);
    bitmap->image = std::move(image);
    bitmap->format = format;
    return std::nullopt;
  });
}

bool TBitmap_Assign(TBitmap* bitmap, const TPngImage* picture) {
  return AssignDecoded(bitmap, picture, "PNG");
}

bool TBitmap_Assign(TBitmap* bitmap, const TTiffImage* picture) {
  return AssignDecoded(bitmap, picture, "TIFF");
}

bool TBitmap_Assign(TBitmap* bitmap, const TJPEGImage* picture) {
  return GuardedCall("TBitmap_Assign", [&](bool&) -> GuardedFailure {
    if (picture == nullptr) return "source image is undefinded!!!";
    if (bitmap == nullptr) return "destination image is undefinded!!!";
    QImage decoded = picture->decoded;
    if (decoded.isNull() && !picture->data.isEmpty()) {
      QByteArray data = picture->data;
      QBuffer buffer(&data);
      buffer.open(QIODevice::ReadOnly);
      if (auto failure = Decode(buffer, "jpeg", decoded)) return failure;
    }
    if (decoded.isNull()) return "the JPEG picture holds no image";
    return ToTable(decoded, *bitmap);
  });
}

bool TBitmap_Assign(TBitmap* bitmap, const BitmapImageClass* image) {
  if (image == nullptr || bitmap == nullptr) {
    return GuardedCall("TBitmap_Assign", [&](bool&) -> GuardedFailure {
      return image == nullptr ? "source image is undefinded!!!"
                              : "destination image is undefinded!!!";
    });
  }
  LogMessage("entering TBitmap_Assign()...");
  const ToolkitPixelFormat format = Bitmap_GetPixelFormat(image->Bitmap.bmBitsPixel);
  if (!TBitmap_SetDimensions(bitmap, image->Bitmap.bmWidth, image->Bitmap.bmHeight, format)) {
    LogMessage("exiting  TBitmap_Assign(FAILURE)...");
    return false;
  }
  const std::size_t n =
      static_cast<std::size_t>(image->Bitmap.bmWidth) * TBitmap_GetDepthInBytes(*bitmap);
  const int height = image->Bitmap.bmHeight;
  if (!image->IsEmpty())
    for (int s = 0; s < height; ++s)
      std::memcpy(bitmap->ScanLine(s), image->GetScanLine(height - 1 - s), n);
  LogMessage("exiting  TBitmap_Assign(SUCCESS)...");
  return true;
}

bool TBitmap_LoadFromFile(TBitmap* bitmap, const std::string& fileName, std::string* why) {
  if (bitmap == nullptr)
    return GuardedCall("TBitmap_LoadFromFile", [](bool&) -> GuardedFailure {
      return "destination TBitmap is undefined!!!";
    });
  return LoadGuarded("TBitmap_LoadFromFile", fileName, why, [&]() -> GuardedFailure {
    QByteArray data;
    QImage decoded;
    if (auto failure = DecodeFile(fileName, ImageFileKind::kBmp, data, decoded)) return failure;
    return ToTable(std::move(decoded), *bitmap);
  });
}

TJPEGImage* TJPEGImage_Create() {
  return Create<TJPEGImage>("TJPEGImage_Create",
                            "TJPEGImage_Create() unable to create TJPEGImage...");
}

bool TJPEGImage_Destroy(TJPEGImage* picture) {
  return Destroy("TJPEGImage_Destroy", picture);
}

bool TJPEGImage_SetQuality(TJPEGImage* picture, int quality) {
  return GuardedCall("TJPEGImage_SetQuality", [&](bool&) -> GuardedFailure {
    if (picture == nullptr) return "destination TJPEGImage is undefined!!!";
    if (quality < 1 || quality > 100)
      return "JPEG quality " + std::to_string(quality) + " is outside 1 to 100";
    picture->quality = quality;
    return std::nullopt;
  });
}

bool TJPEGImage_LoadFromFile(TJPEGImage* picture, const std::string& fileName, std::string* why) {
  return LoadPicture("TJPEGImage_LoadFromFile", picture == nullptr, fileName, why,
                     ImageFileKind::kJpeg, [&](QByteArray& data, QImage& decoded) {
                       picture->data = std::move(data);
                       picture->decoded = std::move(decoded);
                     });
}

bool TJPEGImage_SaveToFile(TJPEGImage* picture, const std::string& fileName) {
  return GuardedCall("TJPEGImage_SaveToFile", [&](bool&) -> GuardedFailure {
    if (picture == nullptr) return "source TJPEGImage is undefined!!!";
    if (picture->data.isEmpty()) return "the JPEG picture holds no compressed image";
    QSaveFile file(FileName(fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(picture->data) != picture->data.size() ||
        !file.commit())
      return fileName + ": " + file.errorString().toStdString();
    return std::nullopt;
  });
}

bool TJPEGImage_Assign(TJPEGImage* picture, const TBitmap* bitmap) {
  return GuardedCall("TJPEGImage_Assign", [&](bool&) -> GuardedFailure {
    if (bitmap == nullptr) return "source image is undefinded!!!";
    if (picture == nullptr) return "destination image is undefinded!!!";
    if (bitmap->image.isNull()) return "the bitmap holds no image";
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(picture->quality);
    if (!writer.write(bitmap->image)) return writer.errorString().toStdString();
    picture->data = std::move(data);
    picture->decoded = bitmap->image;
    return std::nullopt;
  });
}

bool TJPEGImage_Assign(TJPEGImage* picture, const BitmapImageClass* image) {
  LogMessage("entering TJPEGImage_Assign()...");
  std::unique_ptr<TBitmap, bool (*)(TBitmap*)> bitmap(TBitmap_Create(), TBitmap_Destroy);
  if (image != nullptr)
    TBitmap_SetDimensions(bitmap.get(), image->Bitmap.bmWidth, image->Bitmap.bmHeight,
                          Bitmap_GetPixelFormat(image->Bitmap.bmBitsPixel));
  TBitmap_Assign(bitmap.get(), image);
  TJPEGImage_Assign(picture, bitmap.get());
  bitmap.reset();
  LogMessage("exiting  TJPEGImage_Assign(SUCCESS)...");
  return true;
}

TJPEGImage* TJPEGImage_CreateFromImage(const BitmapImageClass& image, int quality) {
  TJPEGImage* picture = TJPEGImage_Create();
  TJPEGImage_SetQuality(picture, quality);
  TJPEGImage_Assign(picture, &image);
  return picture;
}

TPngImage* TPngImage_Create() {
  return Create<TPngImage>("TPngImage_Create", "TPngImage_Create() unable to create TPngImage...");
}

bool TPngImage_Destroy(TPngImage* picture) {
  return Destroy("TPngImage_Destroy", picture);
}

bool TPngImage_LoadFromFile(TPngImage* picture, const std::string& fileName, std::string* why) {
  return LoadPicture("TPngImage_LoadFromFile", picture == nullptr, fileName, why,
                     ImageFileKind::kPng, [&](QByteArray& data, QImage& decoded) {
                       picture->decoded = std::move(decoded);
                       picture->fileName = fileName;
                       picture->significantBits = PngSignificantBits(std::string_view(
                           data.constData(), static_cast<std::size_t>(data.size())));
                     });
}

TTiffImage* TTiffImage_Create() {
  return Create<TTiffImage>("TTiffImage_Create",
                            "TTiffImage_Create() unable to create TTiffImage...");
}

bool TTiffImage_Destroy(TTiffImage* picture) {
  return Destroy("TTiffImage_Destroy", picture);
}

bool TTiffImage_LoadFromFile(TTiffImage* picture, const std::string& fileName, std::string* why) {
  return LoadPicture(
      "TTiffImage_LoadFromFile", picture == nullptr, fileName, why, ImageFileKind::kTiff,
      [&](QByteArray& data, QImage& decoded) {
        TiffLayout layout;  // the checks read it already, so it reads again
        ReadTiffLayout(std::string_view(data.constData(), static_cast<std::size_t>(data.size())),
                       layout);
        if (layout.pages > 1)
          LogNote(fileName + " holds " + std::to_string(layout.pages) +
                  " pages; the first is read");
        picture->decoded = std::move(decoded);
        picture->fileName = fileName;
        picture->significantBits = TiffSignificantBits(layout);
      });
}

bool SaveRasterAsPng(const BitmapImageClass& image, const std::string& fileName) {
  TBitmap bitmap;
  if (!TBitmap_Assign(&bitmap, &image)) return false;
  return GuardedCall("TPngImage_SaveToFile", [&](bool&) -> GuardedFailure {
    QSaveFile file(FileName(fileName));
    if (!file.open(QIODevice::WriteOnly)) return fileName + ": " + file.errorString().toStdString();
    QImageWriter writer(&file, "png");
    if (!writer.write(bitmap.image)) return fileName + ": " + writer.errorString().toStdString();
    if (!file.commit()) return fileName + ": " + file.errorString().toStdString();
    return std::nullopt;
  });
}

void RouteToolkitMessagesToLog() {
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
    LogMessage("toolkit: " + message.toStdString());
  });
}

void PrepareToolkitForWorkerThreads() {
  QThread::currentThread();
}
