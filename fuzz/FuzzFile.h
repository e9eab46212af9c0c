#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

// The fuzzer's bytes as a file for the readers that take a file name.
inline std::string FuzzFile(const std::uint8_t* data, std::size_t size, const char* suffix) {
  static const std::string path = "/tmp/strandex-fuzz-" + std::to_string(getpid()) + suffix;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file != nullptr) {
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  return path;
}
