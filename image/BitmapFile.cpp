// BMP file reading and writing of the raster image.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "AppPaths.h"
#include "BitmapImage.h"
#include "EventLog.h"
#include "LittleEndian.h"
#include "MessageBox.h"
#include "UniqueFiles.h"

namespace {

constexpr std::uint16_t kBfTypeBM = 0x4D42;
constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr std::uint32_t kColourTableOffset = 54;
constexpr std::uint32_t kColourTableBytes = 1024;
constexpr std::uint32_t kMetaDataThreshold = 1078;  // bfOffBits beyond this: meta data follows

const char* const kLoadCaption = "BitmapImageClass::BitmapImageClass(FileName)";
const char* const kLoadCaptionChar = "BitmapImageClass::BitmapImageClass(char *)";
const char* const kSaveCaption = "BitmapImageClass::SaveToFile(FileName)";

// Reads up to n bytes; the count read (short only at end of file), or -1.
std::int64_t ReadFully(int fd, void* buffer, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    ssize_t got = read(fd, static_cast<char*>(buffer) + done, n - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(done);
}

// Writes n bytes; the count written when a write fails part-way, or -1
// when nothing could be written.
std::int64_t WriteFully(int fd, const void* buffer, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    ssize_t put = write(fd, static_cast<const char*>(buffer) + done, n - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return done == 0 && n > 0 ? -1 : static_cast<std::int64_t>(done);
    done += static_cast<std::size_t>(put);
  }
  return static_cast<std::int64_t>(done);
}

char Printable(std::uint8_t c) {
  return c >= 32 && c < 127 ? static_cast<char>(c) : '?';
}

BitmapInfoHeader ParseInfoHeader(const std::uint8_t* p) {
  BitmapInfoHeader h;
  h.biSize = GetLE32(p + 0);
  h.biWidth = static_cast<std::int32_t>(GetLE32(p + 4));
  h.biHeight = static_cast<std::int32_t>(GetLE32(p + 8));
  h.biPlanes = GetLE16(p + 12);
  h.biBitCount = GetLE16(p + 14);
  h.biCompression = GetLE32(p + 16);
  h.biSizeImage = GetLE32(p + 20);
  h.biXPelsPerMeter = static_cast<std::int32_t>(GetLE32(p + 24));
  h.biYPelsPerMeter = static_cast<std::int32_t>(GetLE32(p + 28));
  h.biClrUsed = GetLE32(p + 32);
  h.biClrImportant = GetLE32(p + 36);
  return h;
}

void PutInfoHeader(std::uint8_t* p, const BitmapInfoHeader& h) {
  PutLE32(p + 0, h.biSize);
  PutLE32(p + 4, static_cast<std::uint32_t>(h.biWidth));
  PutLE32(p + 8, static_cast<std::uint32_t>(h.biHeight));
  PutLE16(p + 12, h.biPlanes);
  PutLE16(p + 14, h.biBitCount);
  PutLE32(p + 16, h.biCompression);
  PutLE32(p + 20, h.biSizeImage);
  PutLE32(p + 24, static_cast<std::uint32_t>(h.biXPelsPerMeter));
  PutLE32(p + 28, static_cast<std::uint32_t>(h.biYPelsPerMeter));
  PutLE32(p + 32, h.biClrUsed);
  PutLE32(p + 36, h.biClrImportant);
}

// A reason to refuse a header whose rows this image cannot hold safely.
struct Refusal {
  std::string error;
  std::string box;
};

std::optional<Refusal> CheckHeader(const BitmapInfoHeader& h, std::int64_t stride) {
  if (h.biHeight < 0)
    return Refusal{"top-down bitmap (negative biHeight) not supported!!!",
                   "Top-down BMP files are not supported"};
  if (h.biWidth <= 0 || h.biHeight == 0)
    return Refusal{"improper image size " + std::to_string(h.biWidth) + " x " +
                       std::to_string(h.biHeight) + "!!!",
                   "BMP image size is improper"};
  if (h.biBitCount != 8 && h.biBitCount != 16 && h.biBitCount != 24 && h.biBitCount != 32)
    return Refusal{"unsupported biBitCount " + std::to_string(h.biBitCount) + "!!!",
                   "Unsupported BMP bit depth (" + std::to_string(h.biBitCount) + ")"};
  if (h.biCompression != 0)
    return Refusal{"compressed bitmap (biCompression " + std::to_string(h.biCompression) +
                       ") not supported!!!",
                   "Compressed BMP files are not supported"};
  if (stride < 0)
    return Refusal{"bitmap larger than 1 GiB!!!", "BMP image is too large (over 1 GiB of pixels)"};
  const std::uint64_t rows =
      static_cast<std::uint64_t>(stride) * static_cast<std::uint32_t>(h.biHeight);
  if (rows > BitmapImageClass::kMaxStorageBytes ||
      h.biSizeImage > BitmapImageClass::kMaxStorageBytes)
    return Refusal{"bitmap larger than 1 GiB!!!", "BMP image is too large (over 1 GiB of pixels)"};
  if (h.biSizeImage != 0 && h.biSizeImage < rows)
    return Refusal{"biSizeImage smaller than the pixel rows!!!",
                   "BMP image size field is smaller than its pixel rows"};
  return std::nullopt;
}

}  // namespace

bool BitmapImageClass::LoadFromFile(const std::string& fileName) {
  LogMessage("entering BitmapImageClass::LoadFromFile(" + fileName + ")...");

  int fd = open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat st {};
  if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    close(fd);  // a folder, device or pipe is no image file
    fd = -1;
  }
  if (fd < 0) {
    LogMessage("ERROR: invalid handle value!!!");
    ShowErrorBox("Unable to open file \"" + fileName + "\"!!!", kLoadCaption);
    MakeEmpty();
    LogMessage("exiting  BitmapImageClass::LoadFromFile(FAILURE)...");
    return false;
  }

  auto fail = [&](const std::string& error, const std::string& box,
                  const char* caption = kLoadCaption) {
    LogMessage("ERROR: " + error);
    ShowErrorBox(box, caption);
    if (close(fd) != 0) LogMessage("ERROR: unable to close FileHandle!!!");
    MakeEmpty();
    FillGreyRamp();
    LogMessage("exiting  BitmapImageClass::LoadFromFile(FAILURE)...");
    return false;
  };

  std::uint8_t fileHeader[kFileHeaderSize];
  std::int64_t got = ReadFully(fd, fileHeader, sizeof fileHeader);
  if (got < 0) return fail("unable to read BITMAPFILENEADER!!!", "Unable to read BITMAPFILEHEADER");
  if (got < kFileHeaderSize)
    return fail("improper size of BITMAPFILEHEADER!!!", "Unable to read BITMAPFILEHEADER");
  if (GetLE16(fileHeader) != kBfTypeBM)
    return fail(std::string("improper bfType \"") + Printable(fileHeader[0]) +
                    Printable(fileHeader[1]) + "\"!!!",
                "BITMAPFILEHEADER contains bad bfType");
  const std::uint32_t bfSize = GetLE32(fileHeader + 2);
  const std::uint32_t bfOffBits = GetLE32(fileHeader + 10);

  std::uint8_t sizeField[4];
  got = ReadFully(fd, sizeField, sizeof sizeField);
  if (got < 0)
    return fail("unable to read dwBitmapHeaderSize!!!", "Unable to read dwBitmapHeaderSize");
  if (got < 4)
    return fail("improper size of dwBitmapHeaderSize!!!", "Unable to read dwBitmapHeaderSize");
  const std::uint32_t headerSize = GetLE32(sizeField);
  if (headerSize > kInfoHeaderSize)
    return fail("improper dwBitmapHeaderSize!!!", "dwBitmapHeaderSize is improper");

  std::uint8_t record[kInfoHeaderSize] = {};
  got = lseek(fd, kFileHeaderSize, SEEK_SET) < 0 ? -1 : ReadFully(fd, record, headerSize);
  if (got < 0)
    return fail("unable to read dwBitmapHeaderSize!!!", "Unable to read dwBitmapHeaderSize");
  if (got < headerSize)
    return fail("improper bytes for dwBitmapHeaderSize!!!", "dwBitmapHeaderSize is wrong size");

  BitmapInfoHeader header = ParseInfoHeader(record);
  const std::int64_t stride =
      RowStride(std::int64_t{header.biBitCount} * std::max(header.biWidth, 0) / 8, 1, true);
  if (auto refusal = CheckHeader(header, stride)) return fail(refusal->error, refusal->box);
  header.biSize = kInfoHeaderSize;  // the record is held in its 40-byte form
  if (header.biSizeImage == 0)
    header.biSizeImage = static_cast<std::uint32_t>(stride * header.biHeight);

  RgbQuad table[256];
  const bool hasTable = header.biClrUsed >= 1 && header.biClrUsed <= 256;
  if (hasTable) {
    got =
        lseek(fd, kColourTableOffset, SEEK_SET) < 0 ? -1 : ReadFully(fd, table, kColourTableBytes);
    if (got < 0) return fail("unable to read CLUT!!!", "Unable to read color lookup table");
    if (got < kColourTableBytes)
      return fail("improper size for CLUT!!!", "Error in reading color table");
  }

  std::uint8_t meta[kMetaDataSize];
  const bool hasMeta = bfOffBits > kMetaDataThreshold;
  if (hasMeta) {
    got = ReadFully(fd, meta, sizeof meta);
    if (got < 0) return fail("unable to read MetaData!!!", "Unable to read attached meta data");
    if (got < kMetaDataSize)
      return fail("improper size for MetaData!!!", "Error in reading attached meta data");
  }

  if (static_cast<std::uint32_t>(bfSize - bfOffBits) > header.biSizeImage) {
    LogMessage("ERROR: improper file size!!!");
    ShowErrorBox("Improper file size!!!", kLoadCaptionChar);
  }

  // A file too short for its rows is found before any storage is taken.
  if (static_cast<std::uint64_t>(st.st_size) < std::uint64_t{bfOffBits} + header.biSizeImage)
    return fail("improper size for bmBits!!!", "Error in reading bitmap data");
  PixelStorage storage = AllocatePixels(header.biSizeImage, false);
  if (storage == nullptr)
    return fail("unable to allocate storage for bmBits!!!",
                "Unable to allocate storage for BITMAP->bmBits", kLoadCaptionChar);
  got = lseek(fd, bfOffBits, SEEK_SET) < 0 ? -1 : ReadFully(fd, storage.get(), header.biSizeImage);
  if (got < 0) return fail("unable to read bmBits!!!", "Unable to read bitmap data");
  if (got < header.biSizeImage)
    return fail("improper size for bmBits!!!", "Error in reading bitmap data");

  bmInfo.bmiHeader = header;
  if (hasTable) std::copy_n(table, 256, bmInfo.CLUT);
  if (hasMeta) std::memcpy(MetaData, meta, sizeof meta);
  Bitmap.bmType = 0;
  Bitmap.bmPlanes = header.biPlanes;
  Bitmap.bmWidth = header.biWidth;
  Bitmap.bmHeight = header.biHeight;
  Bitmap.bmBitsPixel = header.biBitCount;
  Bitmap.bmWidthBytes = static_cast<std::int32_t>(stride);
  Bitmap.bmBits = std::move(storage);
  BytesPerPixel = static_cast<std::int16_t>(Bitmap.bmBitsPixel / 8);

  const bool closed = close(fd) == 0;
  if (!closed) LogMessage("ERROR: unable to close FileHandle!!!");
  LogMessage(std::string("exiting  BitmapImageClass::LoadFromFile(") +
             (closed ? "SUCCESS" : "FAILURE") + ")...");
  return closed;
}

bool BitmapImageClass::SaveToFile(const std::string& fileName, bool withMetaData) {
  LogMessage("entering BitmapImageClass::SaveToFile(" + fileName + ")...");
  auto exitWith = [&](bool ok) {
    LogMessage(std::string("exiting  BitmapImageClass::SaveToFile(") +
               (ok ? "SUCCESS" : "FAILURE") + ")...");
    return ok;
  };

  const auto slash = fileName.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(fileName.substr(0, slash))) {
    LogMessage("ERROR: Unable to create directory \"" + fileName.substr(0, slash + 1) + "\"!!!");
    return exitWith(false);
  }

  // The file is written beside its final name and moved there when whole,
  // so a failed save never destroys the file it would have replaced.
  std::string temp;
  int fd = CreateUniqueFile(fileName + ".", temp);
  if (fd < 0) {
    LogMessage("ERROR: CreateFileA() - invalid handle value!!!");
    ShowErrorBox("Unable to save file \"" + fileName + "\"!!!", kSaveCaption);
    return exitWith(false);
  }

  auto fail = [&](const std::string& error) {
    LogMessage("ERROR: " + error);
    if (close(fd) != 0) LogMessage("ERROR: unable to close FileHandle!!!");
    unlink(temp.c_str());
    return exitWith(false);
  };
  auto put = [&](const void* data, std::size_t n, const char* unable, const char* incomplete) {
    std::int64_t written = WriteFully(fd, data, n);
    if (written < 0) return std::optional<std::string>(unable);
    if (static_cast<std::size_t>(written) < n) return std::optional<std::string>(incomplete);
    return std::optional<std::string>();
  };

  const BitmapInfoHeader& h = bmInfo.bmiHeader;
  const std::uint32_t tableEntries = std::min<std::uint32_t>(h.biClrUsed, 256);
  const std::uint32_t metaBytes = withMetaData ? kMetaDataSize : 0;
  const std::uint32_t offBits = kFileHeaderSize + kInfoHeaderSize + 4 * tableEntries + metaBytes;
  std::uint8_t fileHeader[kFileHeaderSize] = {};
  PutLE16(fileHeader, kBfTypeBM);
  PutLE32(fileHeader + 2, offBits + h.biSizeImage);
  PutLE32(fileHeader + 10, offBits);
  if (auto e = put(fileHeader, sizeof fileHeader, "unable to write BITMAPFILEHEADER!!!",
                   "incomplete BITMAPFILEHEADER written to disk!!!"))
    return fail(*e);

  std::uint8_t info[kInfoHeaderSize + 4 * 256];
  PutInfoHeader(info, h);
  for (std::uint32_t i = 0; i < tableEntries; ++i) {
    std::uint8_t* q = info + kInfoHeaderSize + 4 * i;
    q[0] = bmInfo.CLUT[i].rgbBlue;
    q[1] = bmInfo.CLUT[i].rgbGreen;
    q[2] = bmInfo.CLUT[i].rgbRed;
    q[3] = bmInfo.CLUT[i].rgbReserved;
  }
  if (auto e = put(info, kInfoHeaderSize + 4 * tableEntries, "unable to write bmInfo!!!",
                   "incomplete bmInfo written to disk!!!"))
    return fail(*e);

  if (withMetaData) {
    if (auto e = put(MetaData, kMetaDataSize, "unable to write MetaData!!!",
                     "incomplete MetaData written to disk!!!"))
      return fail(*e);
  }

  const std::size_t pixelBytes = Bitmap.bmBits != nullptr ? h.biSizeImage : 0;
  if (auto e = put(Bitmap.bmBits.get(), pixelBytes, "unable to write bitmap data!!!",
                   "imcomplete bitmap data written to disk!!!"))
    return fail(*e);

  if (close(fd) != 0) {
    LogMessage("ERROR: unable to close FileHandle!!!");
    unlink(temp.c_str());
    return exitWith(false);
  }
  if (std::rename(temp.c_str(), fileName.c_str()) != 0) {
    unlink(temp.c_str());
    LogMessage("ERROR: CreateFileA() - invalid handle value!!!");
    ShowErrorBox("Unable to save file \"" + fileName + "\"!!!", kSaveCaption);
    return exitWith(false);
  }
  return exitWith(true);
}
