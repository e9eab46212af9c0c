#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

// What identifies one version of a file: device, inode, size and time of
// last change in nanoseconds. A file rewritten in place or replaced by a
// rename gets another stamp. Nothing for a missing path or one that is not
// a regular file.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t changed = 0;
  bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> StampOf(const std::string& path);

// Decoded thumbnails by path, the most recently used `capacity` of them and
// no more than `byteBudget` bytes of them by `bytesOf` (no budget when 0),
// each kept with its file's stamp: a redraw reads no file again, and a file
// rewritten since (by an edit) is decoded afresh rather than served stale.
// The picture type is the caller's (a toolkit picture in the window).
template <typename Picture>
class ThumbnailCache {
 public:
  using Decoder = std::function<std::optional<Picture>(const std::string& path)>;
  using Measure = std::function<std::size_t(const Picture&)>;

  explicit ThumbnailCache(std::size_t capacity, std::size_t byteBudget = 0, Measure bytesOf = {})
      : capacity_(capacity), budget_(byteBudget), bytesOf_(std::move(bytesOf)) {}

  // The picture of the file as it is now: the cached one while the stamp is
  // unchanged, else what `decode` makes of it. Nothing for a missing file
  // or one that does not decode; nothing is kept for it then.
  std::shared_ptr<const Picture> Get(const std::string& path, const Decoder& decode) {
    const std::optional<FileStamp> stamp = StampOf(path);
    auto found = entries_.find(path);
    if (found != entries_.end()) {
      if (stamp && found->second.stamp == *stamp) {
        order_.splice(order_.begin(), order_, found->second.place);
        return found->second.picture;
      }
      Drop(found);
    }
    if (!stamp) return nullptr;
    std::optional<Picture> picture = decode(path);
    if (!picture) return nullptr;
    // A file rewritten while it was decoded is decoded again next time.
    const std::optional<FileStamp> after = StampOf(path);
    auto shared = std::make_shared<const Picture>(std::move(*picture));
    if (capacity_ == 0 || !after || !(*after == *stamp)) return shared;
    const std::size_t bytes = budget_ != 0 && bytesOf_ ? bytesOf_(*shared) : 0;
    if (budget_ != 0 && bytes > budget_) return shared;
    while (!entries_.empty() &&
           (entries_.size() >= capacity_ || (budget_ != 0 && bytes_ + bytes > budget_)))
      Drop(entries_.find(order_.back()));
    order_.push_front(path);
    entries_.emplace(path, Entry{*stamp, shared, order_.begin(), bytes});
    bytes_ += bytes;
    return shared;
  }

  // Forgets one file (after writing it) or all of them.
  void Forget(const std::string& path) {
    auto found = entries_.find(path);
    if (found != entries_.end()) Drop(found);
  }
  void Clear() {
    entries_.clear();
    order_.clear();
    bytes_ = 0;
  }
  std::size_t Size() const { return entries_.size(); }
  std::size_t Bytes() const { return bytes_; }

 private:
  struct Entry {
    FileStamp stamp;
    std::shared_ptr<const Picture> picture;
    std::list<std::string>::iterator place;
    std::size_t bytes;
  };
  void Drop(typename std::unordered_map<std::string, Entry>::iterator entry) {
    bytes_ -= entry->second.bytes;
    order_.erase(entry->second.place);
    entries_.erase(entry);
  }

  std::size_t capacity_;
  std::size_t budget_;
  Measure bytesOf_;
  std::size_t bytes_ = 0;
  std::list<std::string> order_;  // most recently used first
  std::unordered_map<std::string, Entry> entries_;
};
