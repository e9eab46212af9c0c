#include "MemoryStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>

#include "EventLog.h"
#include "GuardedCall.h"

namespace {

using Failure = GuardedFailure;

std::string SystemText(const std::string& what, const std::string& fileName) {
  return what + " \"" + fileName + "\". " + std::strerror(errno);
}

const char* const kNoStream = "stream is undefined!!!";

}  // namespace

TMemoryStream* TMemoryStream_Create() {
  LogMessage("entering TMemoryStream_Create()...");
  TMemoryStream* stream = new (std::nothrow) TMemoryStream;
  if (stream == nullptr) LogMessage("ERROR: TMemoryStream_Create() - Unable to allocate memory!!!");
  LogMessage("exiting  TMemoryStream_Create()...");
  return stream;
}

bool TMemoryStream_Destroy(TMemoryStream* stream) {
  return GuardedCall("TMemoryStream_Destroy", [&](bool&) -> Failure {
    if (stream == nullptr) {
      LogMessage("ERROR: trying to delete NULL pointer!!!");
      return std::nullopt;
    }
    delete stream;
    return std::nullopt;
  });
}

bool TMemoryStream_LoadFromFile(TMemoryStream* stream, const std::string& fileName) {
  return GuardedCall("TMemoryStream_LoadFromFile", [&](bool&) -> Failure {
    if (stream == nullptr) return kNoStream;
    const int fd = open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return SystemText("Cannot open file", fileName);
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      close(fd);
      return "Cannot open file \"" + fileName + "\". Not a regular file";
    }
    if (static_cast<std::uint64_t>(st.st_size) > kMaxMemoryStreamFile) {
      close(fd);
      return "File \"" + fileName + "\" is too large to load (" + std::to_string(st.st_size) +
             " bytes)";
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t got = read(fd, bytes.data() + done, bytes.size() - done);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<std::size_t>(got);
    }
    const int readError = errno;
    close(fd);
    if (done != bytes.size()) {
      errno = readError;
      return SystemText("Cannot read file", fileName);
    }
    stream->data = std::move(bytes);
    stream->position = 0;
    return std::nullopt;
  });
}

bool TMemoryStream_SaveToFile(TMemoryStream* stream, const std::string& fileName) {
  return GuardedCall("TMemoryStream_SaveToFile", [&](bool&) -> Failure {
    if (stream == nullptr) return kNoStream;
    const int fd = open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return SystemText("Cannot create file", fileName);
    std::size_t done = 0;
    while (done < stream->data.size()) {
      const ssize_t put = write(fd, stream->data.data() + done, stream->data.size() - done);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) break;
      done += static_cast<std::size_t>(put);
    }
    Failure failure;
    if (done != stream->data.size() || fsync(fd) != 0)
      failure = SystemText("Cannot write file", fileName);
    if (close(fd) != 0 && !failure) failure = SystemText("Cannot close file", fileName);
    return failure;
  });
}

bool TMemoryStream_Seek(TMemoryStream* stream, std::int32_t offset, std::uint16_t origin) {
  return GuardedCall("TMemoryStream_Seek", [&](bool&) -> Failure {
    if (stream == nullptr) return kNoStream;
    const std::int64_t base = origin == 0   ? 0
                              : origin == 1 ? std::int64_t{stream->position}
                              : origin == 2 ? static_cast<std::int64_t>(stream->data.size())
                                            : -1;
    if (base < 0) return "Invalid seek origin " + std::to_string(origin);
    const std::int64_t target = base + offset;
    if (target < 0 || target > UINT32_MAX) return "Invalid stream position";
    stream->position = static_cast<std::uint32_t>(target);
    return std::nullopt;
  });
}

bool TMemoryStream_Read(TMemoryStream* stream, void* buffer, std::uint32_t count) {
  return GuardedCall("TMemoryStream_Read", [&](bool& result) -> Failure {
    if (stream == nullptr) return kNoStream;
    const std::size_t size = stream->data.size();
    const std::size_t available = stream->position < size ? size - stream->position : 0;
    const std::size_t n = std::min<std::size_t>(count, available);
    if (n > 0) std::memcpy(buffer, stream->data.data() + stream->position, n);
    stream->position += static_cast<std::uint32_t>(n);
    result = n > 0;
    return std::nullopt;
  });
}

bool TMemoryStream_Write(TMemoryStream* stream, const void* buffer, std::uint32_t count) {
  return GuardedCall("TMemoryStream_Write", [&](bool& result) -> Failure {
    if (stream == nullptr) return kNoStream;
    const std::uint64_t end = std::uint64_t{stream->position} + count;
    if (end > UINT32_MAX) return "Stream would grow past 4 GiB";
    if (stream->data.size() < end) stream->data.resize(static_cast<std::size_t>(end));
    if (count > 0) std::memcpy(stream->data.data() + stream->position, buffer, count);
    stream->position = static_cast<std::uint32_t>(end);
    result = count > 0;
    return std::nullopt;
  });
}
