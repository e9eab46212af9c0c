#include "CometDatabase.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "AppPaths.h"
#include "EventLog.h"
#include "LittleEndian.h"
#include "MemoryStream.h"
#include "RecordCodec.h"
#include "SystemInfo.h"
#include "UniqueFiles.h"

namespace {

constexpr std::size_t kOldWellBytes = 484;
constexpr std::size_t kOldCometBytes = 132;
constexpr int kOldSlots = 19;

struct StreamRelease {
  void operator()(TMemoryStream* stream) const { TMemoryStream_Destroy(stream); }
};
using Stream = std::unique_ptr<TMemoryStream, StreamRelease>;

std::size_t Remaining(const TMemoryStream& stream) {
  return stream.position < stream.data.size() ? stream.data.size() - stream.position : 0;
}

bool Finish(const char* name, bool ok) {
  LogMessage(std::string("exiting  ") + name + "(" + (ok ? "SUCCESS" : "FAILURE") + ")...");
  return ok;
}

std::string Number(std::uint32_t value) {
  return std::to_string(value);
}

// Loads the file whole; null (with the ERROR lines and the reason) when it
// is missing or unreadable.
Stream LoadDatabase(const std::string& fileName, std::string& why) {
  if (!FileExists(fileName)) {
    why = "it does not exist";
    LogMessage("ERROR: " + fileName + " does not exist!!!");
    return nullptr;
  }
  Stream stream(TMemoryStream_Create());
  errno = 0;
  if (stream == nullptr || !TMemoryStream_LoadFromFile(stream.get(), fileName)) {
    why = errno != 0 ? ErrnoText(errno) : "it cannot be loaded (see the event log)";
    if (struct stat st{}; stat(fileName.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
      why = "not a regular file";
    LogMessage("ERROR: unable to open " + fileName + "!!!");
    LogMessage("ERROR: OS reports :" + GetLastErrorAsString());
    return nullptr;
  }
  return stream;
}

// Reads the version and kind words and goes back to the start.
bool ReadHeaderWords(TMemoryStream* stream, const std::string& fileName, std::uint32_t& version,
                     std::uint32_t& type, std::string& why) {
  if (stream->data.size() < 8) {
    why = "cut off after " + std::to_string(stream->data.size()) + " bytes";
    LogMessage("ERROR: " + fileName + " is too short to be a database (" +
               std::to_string(stream->data.size()) + " bytes)!!!");
    return false;
  }
  std::uint8_t words[8];
  TMemoryStream_Read(stream, words, 8);
  TMemoryStream_Seek(stream, 0, 0);
  version = GetLE32(words);
  type = GetLE32(words + 4);
  if (version == 0) {
    why = "a database of an unknown version (0)";
    LogMessage("ERROR: unsupported file version " + Number(version) + "!!!");
    return false;
  }
  return true;
}

// The opening both readers share: the entry trace, the whole file and its
// version and kind words. Null (with the ERROR lines) when any of it fails.
Stream OpenDatabase(const std::string& fileName, std::uint32_t& version, std::uint32_t& type,
                    std::string& why) {
  LogMessage("entering Zelcor_ReadFromDB(" + fileName + ")...");
  Stream stream = LoadDatabase(fileName, why);
  if (stream == nullptr || !ReadHeaderWords(stream.get(), fileName, version, type, why))
    return nullptr;
  return stream;
}

// How many of `count` records of `size` bytes to read: never more than the
// array holds nor than the file has, each shortfall an ERROR line.
std::uint32_t ReadableComets(const TMemoryStream& stream, const std::string& fileName,
                             std::uint32_t count, std::size_t size) {
  std::uint32_t n = count;
  if (n > WellRecord::kMaxComets) {
    LogMessage("ERROR: " + fileName + " holds " + Number(count) + " comets, more than " +
               Number(WellRecord::kMaxComets) + "; only the first " +
               Number(WellRecord::kMaxComets) + " are read!!!");
    n = WellRecord::kMaxComets;
  }
  const auto present =
      static_cast<std::uint32_t>(std::min<std::size_t>(Remaining(stream) / size, n));
  if (present < n) {
    LogMessage("ERROR: " + fileName + " ends after " + Number(present) + " of " + Number(n) +
               " comet records!!!");
    n = present;
  }
  return n;
}

// Reads a data set's header block; false (with the ERROR line) when the
// file ends inside it.
bool ReadWellBlock(TMemoryStream* stream, const std::string& fileName, std::uint8_t* header,
                   std::size_t size, std::string& why) {
  if (Remaining(*stream) < size) {
    why = "cut off after " + std::to_string(stream->data.size()) + " bytes, inside its header";
    LogMessage("ERROR: " + fileName + " ends inside its WellRecord!!!");
    return false;
  }
  TMemoryStream_Read(stream, header, static_cast<std::uint32_t>(size));
  return true;
}

bool ReadCurrentDataSet(TMemoryStream* stream, const std::string& fileName, WellRecord& well,
                        std::string& why) {
  std::uint8_t header[kWellHeaderBytes];
  if (!ReadWellBlock(stream, fileName, header, sizeof header, why)) return false;
  DecodeWellHeader(header, well);
  well.Comets = NewCometArray();
  well.CometCount = ReadableComets(*stream, fileName, well.CometCount, kCometRecordBytes);
  std::uint8_t record[kCometRecordBytes];
  for (std::uint32_t i = 0; i < well.CometCount; ++i) {
    TMemoryStream_Read(stream, record, sizeof record);
    DecodeCometRecord(record, well.Comets[i]);
  }
  return true;
}

// The old statistic arrays hold 19 slots, without Comet Probability (new
// slot 2); the new arrays get 0 there and from slot 20 on.
void ConvertSlots(const std::uint8_t* old, float* slots) {
  std::fill(slots, slots + 30, 0.0f);
  for (int s = 0; s < kOldSlots; ++s)
    slots[s < 2 ? s : s + 1] = std::bit_cast<float>(GetLE32(old + 4 * s));
}

bool ReadOldDataSet(TMemoryStream* stream, const std::string& fileName, WellRecord& well,
                    std::string& why) {
  std::uint8_t header[kOldWellBytes];
  if (!ReadWellBlock(stream, fileName, header, sizeof header, why)) return false;
  // Offsets 0-99 are as in the current record; the rest moves.
  std::uint8_t current[kWellHeaderBytes] = {};
  std::memcpy(current, header, 100);
  DecodeWellHeader(current, well);
  well.Version = 3;
  well.DatabaseType = kCometDataSet;
  ConvertSlots(header + 100, well.MinValue);
  ConvertSlots(header + 176, well.MaxValue);
  ConvertSlots(header + 252, well.RangeValue);
  ConvertSlots(header + 328, well.MeanValue);
  ConvertSlots(header + 404, well.StdDevValue);
  well.CometCount = ReadableComets(*stream, fileName, GetLE32(header + 480), kOldCometBytes);
  well.Comets = NewCometArray();
  std::uint8_t old[kOldCometBytes];
  for (std::uint32_t i = 0; i < well.CometCount; ++i) {
    TMemoryStream_Read(stream, old, sizeof old);
    CometRecord& c = well.Comets[i];
    c.Version = 3;
    c.RecordType = kCometDataSet;
    c.Included = old[8];
    c.Deleted = old[9];
    c.CenterX = std::bit_cast<float>(GetLE32(old + 12));
    c.CenterY = std::bit_cast<float>(GetLE32(old + 16));
    for (int m = 0; m < 17; ++m) c.Metrics[m + 1] = std::bit_cast<float>(GetLE32(old + 20 + 4 * m));
    c.HeadCenter = static_cast<std::int16_t>(GetLE16(old + 88));
    std::memcpy(c.ImageName, old + 90, sizeof c.ImageName);
    c.ImageWidth = GetLE16(old + 122);
    c.ImageHeight = GetLE16(old + 124);
    c.Orientation = std::bit_cast<float>(GetLE32(old + 128));
  }
  return true;
}

// Rows and columns of a type-4 layout from its layout code.
void DeriveLayout(std::vector<std::uint8_t>& block, bool onlyWhenMissing) {
  if (onlyWhenMissing && GetLE16(&block[1200]) != 0 && GetLE16(&block[1202]) != 0) return;
  static const std::uint16_t kLayouts[5][2] = {{1, 1}, {1, 2}, {4, 5}, {1, 3}, {8, 12}};
  const std::uint16_t code = GetLE16(&block[1172]);
  if (code > 4) return;
  PutLE16(&block[1200], kLayouts[code][0]);
  PutLE16(&block[1202], kLayouts[code][1]);
}

// Old-format blocks: type 4 was shorter, and type 3's old layout is not
// converted.
std::size_t OldBlockSize(std::uint32_t type) {
  if (type == 3) return 0;
  return type == 4 ? 1212 : DatabaseBlockSize(type);
}

// Moves the stream to a temporary file beside the target and renames it
// over the target when the whole file is on disk.
bool SaveReplacing(TMemoryStream* stream, const std::string& fileName) {
  const std::string folder = FolderOf(fileName);
  if (!folder.empty() && !MakeFolders(folder)) {
    LogMessage("ERROR: Unable to create directory \"" + folder + "\"!!!");
    return false;
  }
  std::string temp;
  const int fd = CreateUniqueFile(fileName + ".", temp);
  if (fd < 0) {
    LogMessage("ERROR: unable to create a file beside " + fileName + "!!!");
    return false;
  }
  close(fd);
  if (!TMemoryStream_SaveToFile(stream, temp) || std::rename(temp.c_str(), fileName.c_str()) != 0) {
    unlink(temp.c_str());
    LogMessage("ERROR: unable to save " + fileName + "; the previous file is kept!!!");
    return false;
  }
  return true;
}

}  // namespace

std::size_t DatabaseBlockSize(std::uint32_t type) {
  switch (type) {
    case 1:
      return 1584;
    case 2:
      return 1556;
    case 3:
      return 1780;
    case 4:
      return 1252;
    case 6:
      return 56;
    default:
      return 0;
  }
}

bool Zelcor_ReadFromDB(const std::string& fileName, WellRecord& destination, std::string* why) {
  const char* name = "Zelcor_ReadFromDB";
  std::uint32_t version = 0, type = 0;
  std::string reason;
  auto fail = [&] {
    if (why != nullptr) *why = reason;
    return Finish(name, false);
  };
  Stream stream = OpenDatabase(fileName, version, type, reason);
  if (stream == nullptr) return fail();

  if (type != kCometDataSet) {
    if (version == 2 && DatabaseBlockSize(type) == 0) {
      // An unknown kind of the old format reads as nothing.
      if (destination.Comets == nullptr) {
        destination.Comets = NewCometArray();
        destination.CometCount = 0;
      }
      return Finish(name, true);
    }
    reason = "a database of another kind (type " + Number(type) + "), not comet results";
    if (DatabaseBlockSize(type) == 0)
      LogMessage("ERROR: improper database type = " + Number(type) + "!!!");
    else
      LogMessage("ERROR: " + fileName + " holds database type " + Number(type) +
                 ", not a comet data set!!!");
    return fail();
  }

  WellRecord read;
  const bool ok = version == 2 ? ReadOldDataSet(stream.get(), fileName, read, reason)
                               : ReadCurrentDataSet(stream.get(), fileName, read, reason);
  if (!ok) return fail();
  destination = std::move(read);
  return Finish(name, true);
}

bool Zelcor_WriteToDB(const std::string& fileName, WellRecord& record) {
  const char* name = "Zelcor_WriteToDB";
  LogMessage("entering Zelcor_WriteToDB(" + fileName + ")...");
  record.Version = kDatabaseVersion;
  if (record.DatabaseType != kCometDataSet) {
    LogMessage("ERROR: improper database type = " + Number(record.DatabaseType) + "!!!");
    return Finish(name, false);
  }
  if (record.CometCount > 0 && record.Comets == nullptr) {
    LogMessage("ERROR: data set of " + fileName + " has no comet array!!!");
    return Finish(name, false);
  }
  if (record.CometCount > WellRecord::kMaxComets) {
    LogMessage("ERROR: data set holds " + Number(record.CometCount) + " comets; only the first " +
               Number(WellRecord::kMaxComets) + " are written!!!");
    record.CometCount = WellRecord::kMaxComets;
  }
  Stream stream(TMemoryStream_Create());
  if (stream == nullptr) return Finish(name, false);
  std::vector<std::uint8_t> bytes(kWellHeaderBytes + kCometRecordBytes * record.CometCount);
  EncodeWellHeader(record, bytes.data());
  for (std::uint32_t i = 0; i < record.CometCount; ++i)
    EncodeCometRecord(record.Comets[i], bytes.data() + kWellHeaderBytes + kCometRecordBytes * i);
  TMemoryStream_Write(stream.get(), bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  return Finish(name, SaveReplacing(stream.get(), fileName));
}

bool Zelcor_ReadBlockFromDB(const std::string& fileName, std::vector<std::uint8_t>& block) {
  const char* name = "Zelcor_ReadFromDB";
  std::uint32_t version = 0, type = 0;
  std::string reason;
  Stream stream = OpenDatabase(fileName, version, type, reason);
  if (stream == nullptr) return Finish(name, false);
  const std::size_t size = version == 2 ? OldBlockSize(type) : DatabaseBlockSize(type);
  if (size == 0) {
    LogMessage("ERROR: improper database type = " + Number(type) + "!!!");
    return Finish(name, false);
  }
  if (stream->data.size() < size) {
    LogMessage("ERROR: " + fileName + " ends inside its block of " + std::to_string(size) +
               " bytes!!!");
    return Finish(name, false);
  }
  std::vector<std::uint8_t> read(DatabaseBlockSize(type), 0);
  TMemoryStream_Read(stream.get(), read.data(), static_cast<std::uint32_t>(size));
  if (type == 4) DeriveLayout(read, version == 2);
  if (version == 2) PutLE32(read.data(), kDatabaseVersion);
  block = std::move(read);
  return Finish(name, true);
}

bool Zelcor_WriteBlockToDB(const std::string& fileName, std::vector<std::uint8_t>& block) {
  const char* name = "Zelcor_WriteToDB";
  LogMessage("entering Zelcor_WriteToDB(" + fileName + ")...");
  const std::uint32_t type = block.size() >= 8 ? GetLE32(block.data() + 4) : 0;
  const std::size_t size = DatabaseBlockSize(type);
  if (size == 0 || block.size() < size) {
    LogMessage("ERROR: improper database type = " + Number(type) + "!!!");
    return Finish(name, false);
  }
  PutLE32(block.data(), kDatabaseVersion);
  Stream stream(TMemoryStream_Create());
  if (stream == nullptr) return Finish(name, false);
  TMemoryStream_Write(stream.get(), block.data(), static_cast<std::uint32_t>(size));
  return Finish(name, SaveReplacing(stream.get(), fileName));
}
