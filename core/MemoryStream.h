#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A growable block of bytes with a position: writing at the position
// overwrites and extends, reading copies what is there and advances.
class TMemoryStream {
 public:
  std::vector<std::uint8_t> data;
  std::uint32_t position = 0;
};

// Each operation writes its trace lines, logs any failure as an ERROR line
// and returns false (or no stream); none of them throws.
TMemoryStream* TMemoryStream_Create();
bool TMemoryStream_Destroy(TMemoryStream* stream);
bool TMemoryStream_LoadFromFile(TMemoryStream* stream, const std::string& fileName);
bool TMemoryStream_SaveToFile(TMemoryStream* stream, const std::string& fileName);
// origin: 0 from the start, 1 from the current position, 2 from the end.
bool TMemoryStream_Seek(TMemoryStream* stream, std::int32_t offset, std::uint16_t origin);
// True when at least one byte moved; a short read or write is not an error.
bool TMemoryStream_Read(TMemoryStream* stream, void* buffer, std::uint32_t count);
bool TMemoryStream_Write(TMemoryStream* stream, const void* buffer, std::uint32_t count);

// The largest file a stream loads (files past it are refused): 256 MiB.
constexpr std::uint64_t kMaxMemoryStreamFile = std::uint64_t{256} << 20;
