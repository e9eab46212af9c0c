#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

// Name of the logged-on user; empty when the system gives none.
std::string GetUserNameString();

// Name of this computer; empty when the system gives none.
std::string GetComputerNameString();

// Size of the file in bytes; 0 when it does not exist or cannot be queried.
std::uint64_t GetFileSize64(const std::string& path);

// The system's text for the last error of the calling thread (errno). Traced.
std::string GetLastErrorAsString();

// The system's text for an error number as part of a sentence: its first
// letter in lower case ("permission denied", "no space left on device").
std::string ErrnoText(int error);

// Last-modification time of the file, seconds since the epoch.
std::optional<std::time_t> GetFileModificationTime(const std::string& path);

bool FileExists(const std::string& path);  // any kind of file system entry
