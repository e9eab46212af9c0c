#pragma once

#include <cstdint>
#include <cstring>

// Little-endian reads and writes of file fields, whatever the host's order.
inline std::uint16_t GetLE16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t GetLE32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void PutLE16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void PutLE32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

inline std::uint64_t GetLE64(const std::uint8_t* p) {
  return static_cast<std::uint64_t>(GetLE32(p)) |
         (static_cast<std::uint64_t>(GetLE32(p + 4)) << 32);
}

inline void PutLE64(std::uint8_t* p, std::uint64_t v) {
  PutLE32(p, static_cast<std::uint32_t>(v));
  PutLE32(p + 4, static_cast<std::uint32_t>(v >> 32));
}
