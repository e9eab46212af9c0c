#include "RecordCodec.h"

#include <bit>
#include <cstring>
#include <type_traits>

#include "LittleEndian.h"

namespace {

// Walks a record's fields in file order, moving each between the record and
// its place in the bytes: into the record when decoding, out when encoding.
template <bool kEncode>
class Walker {
 public:
  explicit Walker(std::uint8_t* bytes) : bytes_(bytes) {}

  template <typename T>
  void operator()(T& value) {
    std::uint8_t* p = bytes_ + at_;
    if constexpr (std::is_array_v<T>) {
      for (auto& element : value) (*this)(element);
      return;
    } else if constexpr (sizeof(T) == 1) {
      if constexpr (kEncode)
        *p = static_cast<std::uint8_t>(value);
      else
        value = static_cast<T>(*p);
    } else if constexpr (sizeof(T) == 2) {
      if constexpr (kEncode)
        PutLE16(p, static_cast<std::uint16_t>(value));
      else
        value = static_cast<T>(GetLE16(p));
    } else if constexpr (std::is_same_v<T, float>) {
      if constexpr (kEncode)
        PutLE32(p, std::bit_cast<std::uint32_t>(value));
      else
        value = std::bit_cast<float>(GetLE32(p));
    } else if constexpr (std::is_same_v<T, double>) {
      if constexpr (kEncode)
        PutLE64(p, std::bit_cast<std::uint64_t>(value));
      else
        value = std::bit_cast<double>(GetLE64(p));
    } else {
      static_assert(sizeof(T) == 4);
      if constexpr (kEncode)
        PutLE32(p, static_cast<std::uint32_t>(value));
      else
        value = static_cast<T>(GetLE32(p));
    }
    at_ += sizeof(T);
  }

  std::size_t Offset() const { return at_; }

 private:
  std::uint8_t* bytes_;
  std::size_t at_ = 0;
};

template <typename W, typename Well>
void WalkWell(W& w, Well& r) {
  w(r.Version), w(r.DatabaseType), w(r.WellName), w(r.MinCometArea), w(r.MaxCometArea);
  w(r.MinCometHeight), w(r.MaxCometHeight), w(r.ScaleX), w(r.ScaleY);
  w(r.SegmentationOption), w(r.Rotation), w(r.Reserved2), w(r.Reserved3);
  w(r.MinValue), w(r.MaxValue), w(r.RangeValue), w(r.MeanValue), w(r.StdDevValue);
  w(r.CometCount), w(r.Reserved4), w(r.CometsWord);
}

template <typename W, typename Comet>
void WalkComet(W& w, Comet& c) {
  w(c.Version), w(c.RecordType), w(c.Included), w(c.Deleted), w(c.Padding1);
  w(c.CenterX), w(c.CenterY), w(c.Metrics), w(c.HeadCenter), w(c.ImageName);
  w(c.ImageWidth), w(c.ImageHeight), w(c.Padding2), w(c.Orientation), w(c.Reserved);
}

}  // namespace

void DecodeWellHeader(const std::uint8_t* bytes, WellHeader& well) {
  Walker<false> w(const_cast<std::uint8_t*>(bytes));
  WalkWell(w, well);
}

void EncodeWellHeader(const WellHeader& well, std::uint8_t* bytes) {
  Walker<true> w(bytes);
  WalkWell(w, const_cast<WellHeader&>(well));
}

void DecodeCometRecord(const std::uint8_t* bytes, CometRecord& comet) {
  Walker<false> w(const_cast<std::uint8_t*>(bytes));
  WalkComet(w, comet);
}

void EncodeCometRecord(const CometRecord& comet, std::uint8_t* bytes) {
  Walker<true> w(bytes);
  WalkComet(w, const_cast<CometRecord&>(comet));
}
