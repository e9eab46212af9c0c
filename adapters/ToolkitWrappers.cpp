#include "ToolkitWrappers.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QtGlobal>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "EventLog.h"
#include "GuardedCall.h"
#include "LittleEndian.h"

namespace {

QString FileName(const std::string& name) {
  return QFile::decodeName(QByteArray::fromStdString(name));
}

void LimitDecoding() {
  static std::once_flag once;
  std::call_once(once, [] { QImageReader::setAllocationLimit(kDecodeLimitMegabytes); });
}

bool IsGreyRamp(const QList<QRgb>& table) {
  for (qsizetype i = 0; i < table.size(); ++i)
    if (table[i] != qRgb(static_cast<int>(i), static_cast<int>(i), static_cast<int>(i)))
      return false;
  return true;
}

// A decoded image in a format of the depth table. Colour palettes become
// true colour (so the grey rule sees colours, not indices) and 16-bit
// channels are scaled to 8 bits; grey stays grey.
GuardedFailure ToTable(QImage decoded, TBitmap& bitmap) {
  QImage image;
  ToolkitPixelFormat format;
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
    case QImage::Format_Grayscale16:
      image = decoded.convertToFormat(QImage::Format_Grayscale8);
      format = ToolkitPixelFormat::k8Bit;
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

GuardedFailure ReadWholeFile(const std::string& fileName, QByteArray& data) {
  QFile file(FileName(fileName));
  if (!file.open(QIODevice::ReadOnly)) return file.errorString().toStdString();
  if (file.size() > static_cast<qint64>(kDecodeLimitMegabytes) << 20) return "file is too large";
  data = file.readAll();
  if (data.isEmpty()) return "file is empty";
  return std::nullopt;
}

// A JPEG stream is whole when it starts with its start marker and has an
// end marker after its first scan; a file cut short has none.
bool JpegIsComplete(const QByteArray& data) {
  if (data.size() < 4 || static_cast<unsigned char>(data[0]) != 0xFF ||
      static_cast<unsigned char>(data[1]) != 0xD8)
    return false;
  const qsizetype scan = data.indexOf(QByteArray("\xFF\xDA", 2));
  return scan >= 0 && data.lastIndexOf(QByteArray("\xFF\xD9", 2)) > scan;
}

// A BMP file is whole when its uncompressed rows fit in it; the toolkit's
// reader would quietly fill in rows that a cut-off file lacks.
bool BmpIsComplete(const QByteArray& data) {
  if (data.size() < 54) return false;
  const auto* p = reinterpret_cast<const std::uint8_t*>(data.constData());
  const std::uint32_t offBits = GetLE32(p + 10);
  const std::int64_t width = static_cast<std::int32_t>(GetLE32(p + 18));
  const std::int64_t height = static_cast<std::int32_t>(GetLE32(p + 22));
  const std::int64_t bits = GetLE16(p + 28);
  const std::uint32_t compression = GetLE32(p + 30);
  std::int64_t need = offBits;
  if (GetLE32(p + 14) >= 40 && (compression == 0 || compression == 3))
    need += (width * bits + 31) / 32 * 4 * (height < 0 ? -height : height);
  return need <= data.size();
}

// Reads a whole file, checks that it is complete where a check is given,
// and decodes it strictly as the format.
GuardedFailure DecodeFile(const std::string& fileName, const char* format,
                          bool (*complete)(const QByteArray&), QByteArray& data, QImage& decoded) {
  if (auto failure = ReadWholeFile(fileName, data)) return fileName + ": " + *failure;
  if (complete != nullptr && !complete(data))
    return fileName + ": not a complete " + QByteArray(format).toUpper().toStdString() + " image";
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  if (auto failure = Decode(buffer, format, decoded)) return fileName + ": " + *failure;
  return std::nullopt;
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
  return GuardedCall("TBitmap_Assign", [&](bool&) -> GuardedFailure {
    if (picture == nullptr) return "source image is undefinded!!!";
    if (bitmap == nullptr) return "destination image is undefinded!!!";
    if (picture->decoded.isNull()) return "the PNG picture holds no image";
    return ToTable(picture->decoded, *bitmap);
  });
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

bool TBitmap_LoadFromFile(TBitmap* bitmap, const std::string& fileName) {
  return GuardedCall("TBitmap_LoadFromFile", [&](bool&) -> GuardedFailure {
    if (bitmap == nullptr) return "destination TBitmap is undefined!!!";
    QByteArray data;
    QImage decoded;
    if (auto failure = DecodeFile(fileName, "bmp", BmpIsComplete, data, decoded)) return failure;
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

bool TJPEGImage_LoadFromFile(TJPEGImage* picture, const std::string& fileName) {
  return GuardedCall("TJPEGImage_LoadFromFile", [&](bool&) -> GuardedFailure {
    if (picture == nullptr) return "destination TJPEGImage is undefined!!!";
    QByteArray data;
    QImage decoded;
    if (auto failure = DecodeFile(fileName, "jpeg", JpegIsComplete, data, decoded)) return failure;
    picture->data = std::move(data);
    picture->decoded = std::move(decoded);
    return std::nullopt;
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

bool TPngImage_LoadFromFile(TPngImage* picture, const std::string& fileName) {
  return GuardedCall("TPngImage_LoadFromFile", [&](bool&) -> GuardedFailure {
    if (picture == nullptr) return "destination TPngImage is undefined!!!";
    QByteArray data;
    QImage decoded;
    if (auto failure = DecodeFile(fileName, "png", nullptr, data, decoded)) return failure;
    picture->decoded = std::move(decoded);
    return std::nullopt;
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
