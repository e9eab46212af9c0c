// Convolution filters of the raster image: every channel, edge pixels
// replicated beyond the border, written back in place.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "BitmapImage.h"
#include "EventLog.h"
#include "KernelTables.h"

namespace {

const std::string kClass = "BitmapImageClass::";
constexpr int kMaxRadius = 32;  // the row window holds at most 65 rows

// How one convolution runs: weight (o, r + i) applies to pixel x - i of
// window row o (or to x + i when `plusI`); the sum is divided by `divisor`
// when `divide` is set.
struct Convolution {
  const float* weights;
  int radius;
  bool plusI;
  bool divide;
  float divisor;
};

// True when single-precision accumulation of these weights over bytes is
// exact integer arithmetic: the weights are non-negative integers whose sum
// times 255 stays below 2^24, so every partial sum is an integer that single
// precision holds exactly, whatever the order of the additions.
bool IsIntegerKernel(const Convolution& k) {
  const int q = 2 * k.radius + 1;
  double total = 0;
  for (int i = 0; i < q * q; ++i) {
    const float w = k.weights[i];
    if (w < 0 || w != std::floor(w)) return false;
    total += w;
  }
  if (total * 255 >= 16777216.0) return false;
  return true;
}

// A filtered value as a byte: clamped to 0 .. 255, truncated. Written as
// two selects and a conversion, so that a row of them vectorises.
inline std::uint8_t ToByte(float v) {
  const float low = v < 0.0f ? 0.0f : v;
  const float clamped = low > 255.0f ? 255.0f : low;
  return static_cast<std::uint8_t>(static_cast<std::int32_t>(clamped));
}

// A tap of a convolution: its weight on one source column of a window or
// folded row, or on a pair of columns that share the weight.
struct Tap {
  int row;  // window row, or folded row when `folded`
  std::size_t shift, shift2;
  std::uint16_t weight;
  bool folded, paired;
};

// One tap over a row: part += weight x source (or the pair's sum).
template <typename Source>
inline void AddTapTo(std::uint16_t* __restrict part, const Source* __restrict row, const Tap& tap,
                     std::size_t n) {
  const Source* a = row + tap.shift;
  const Source* b = row + tap.shift2;
  const std::uint16_t w = tap.weight;
  if (tap.paired)
    for (std::size_t i = 0; i < n; ++i)
      part[i] = static_cast<std::uint16_t>(part[i] + w * (a[i] + b[i]));
  else
    for (std::size_t i = 0; i < n; ++i) part[i] = static_cast<std::uint16_t>(part[i] + w * a[i]);
}

// The same for window rows and folded rows, built also for processors with
// 32-byte vectors and chosen when the program starts: integer sums, so the
// result does not depend on the vector width.
__attribute__((target_clones("avx2", "default"))) void AddTap(std::uint16_t* __restrict part,
                                                               const std::uint8_t* row,
                                                               const Tap& tap, std::size_t n) {
  AddTapTo(part, row, tap, n);
}
__attribute__((target_clones("avx2", "default"))) void AddTap(std::uint16_t* __restrict part,
                                                               const std::uint16_t* row,
                                                               const Tap& tap, std::size_t n) {
  AddTapTo(part, row, tap, n);
}

class Convolver {
 public:
  Convolver(BitmapImageClass& image, const Convolution& kernel)
      : image_(image),
        k_(kernel),
        q_(2 * kernel.radius + 1),
        bytes_(image.BytesPerPixel),
        width_(image.Bitmap.bmWidth),
        height_(image.Bitmap.bmHeight),
        rowBytes_(static_cast<std::size_t>(width_) * bytes_),
        padded_((static_cast<std::size_t>(width_) + 2 * kernel.radius) * bytes_),
        storage_(padded_ * q_),
        window_(q_) {
    for (int o = 0; o < q_; ++o) window_[o] = storage_.data() + padded_ * o;
  }

  void Run() {
    // The first 2r window rows hold rows -r .. r - 1, clamped to the image.
    for (int k = 0; k < q_ - 1; ++k)
      Load(window_[k], std::min(std::max(k - k_.radius, 0), height_ - 1));
    const bool integer = IsIntegerKernel(k_);
    if (integer) PlanTaps();
    std::vector<std::int32_t> sums(integer ? rowBytes_ : 0);
    std::vector<std::uint16_t> part(integer ? rowBytes_ : 0);
    std::vector<float> accs(integer ? 0 : rowBytes_);
    for (int y = 0; y < height_; ++y) {
      Load(window_[q_ - 1], std::min(y + k_.radius, height_ - 1));
      std::uint8_t* out = image_.GetScanLine(y);
      if (integer) {
        FoldRows();
        IntegerRow(sums.data(), part.data(), out);
      } else {
        FloatRow(accs.data(), out);
      }
      std::rotate(window_.begin(), window_.begin() + 1, window_.end());
    }
  }

 private:
  // Copies an image row into a window row between r replicated pixels on
  // each side.
  void Load(std::uint8_t* buffer, int row) {
    const std::uint8_t* src = image_.GetScanLine(row);
    const int r = k_.radius;
    std::memcpy(buffer + static_cast<std::size_t>(r) * bytes_, src, rowBytes_);
    for (int p = 0; p < r; ++p) {
      std::memcpy(buffer + static_cast<std::size_t>(p) * bytes_, src, bytes_);
      std::memcpy(buffer + (static_cast<std::size_t>(r) + width_ + p) * bytes_,
                  src + rowBytes_ - bytes_, bytes_);
    }
  }

  // Where the byte for weight column c (c = r + i) of output byte 0 lies.
  std::size_t Shift(int c) const {
    const int r = k_.radius;
    const int i = c - r;
    return static_cast<std::size_t>((k_.plusI ? r + i : r - i)) * bytes_;
  }

  // Integer kernels: the taps are summed in 16-bit groups small enough
  // never to overflow (the largest source value times each tap's weight,
  // added over the group, fits 16 bits), and the groups in 32 bits. A kernel
  // whose rows o and q-1-o are equal is applied to the sums of those two
  // window rows (folded rows); one whose columns c and q-1-c are equal too
  // takes the two source values of a pair of columns at once. Each weight
  // is then applied once to a sum of sources; the integer sum is the same.
  void PlanTaps() {
    folds_ = 0;
    bool rows = true, columns = true;
    for (int o = 0; o < q_; ++o)
      for (int c = 0; c < q_; ++c) {
        const float w = k_.weights[o * q_ + c];
        rows &= w == k_.weights[(q_ - 1 - o) * q_ + c];
        columns &= w == k_.weights[o * q_ + (q_ - 1 - c)];
      }
    if (rows) {
      folds_ = k_.radius;
      folded_.assign(static_cast<std::size_t>(folds_) * padded_, 0);
    }
    int load = 0;
    for (int o = 0; o < q_ - folds_; ++o)
      for (int c = 0; c < (columns ? k_.radius + 1 : q_); ++c) {
        const auto w = static_cast<int>(k_.weights[o * q_ + c]);
        if (w == 0) continue;
        const bool folded = o < folds_, paired = columns && c < k_.radius;
        const int most = w * 255 * (folded ? 2 : 1) * (paired ? 2 : 1);
        if (taps_.empty() || load + most > 65535) {
          groupStarts_.push_back(taps_.size());
          load = 0;
        }
        load += most;
        taps_.push_back({o, Shift(c), paired ? Shift(q_ - 1 - c) : Shift(c),
                         static_cast<std::uint16_t>(w), folded, paired});
      }
    groupStarts_.push_back(taps_.size());
  }

  // Folded row o: window rows o and q-1-o added.
  void FoldRows() {
    for (int o = 0; o < folds_; ++o) {
      const std::uint8_t* a = window_[o];
      const std::uint8_t* b = window_[q_ - 1 - o];
      std::uint16_t* f = folded_.data() + static_cast<std::size_t>(o) * padded_;
      for (std::size_t i = 0; i < padded_; ++i) f[i] = static_cast<std::uint16_t>(a[i] + b[i]);
    }
  }

  void IntegerRow(std::int32_t* sums, std::uint16_t* part, std::uint8_t* out) {
    const std::size_t n = rowBytes_;
    const std::size_t groups = groupStarts_.size() - 1;
    if (groups > 1) std::fill(sums, sums + n, 0);
    if (groups == 0) std::fill(part, part + n, 0);
    for (std::size_t g = 0; g < groups; ++g) {
      std::fill(part, part + n, 0);
      for (std::size_t t = groupStarts_[g]; t < groupStarts_[g + 1]; ++t) {
        const Tap& tap = taps_[t];
        if (tap.folded)
          AddTap(part, folded_.data() + static_cast<std::size_t>(tap.row) * padded_, tap, n);
        else
          AddTap(part, window_[tap.row], tap, n);
      }
      if (groups > 1)
        for (std::size_t i = 0; i < n; ++i) sums[i] += part[i];
    }
    if (groups > 1)
      Finish(sums, out);
    else
      Finish(part, out);
  }

  // The exact integer sum divided in single precision, clamped, truncated.
  // The row length is read once: a byte store could otherwise change it,
  // which keeps the loops from vectorising.
  template <typename Sum>
  void Finish(const Sum* __restrict sums, std::uint8_t* __restrict out) const {
    const std::size_t n = rowBytes_;
    if (k_.divide) {
      const float divisor = k_.divisor;
      for (std::size_t i = 0; i < n; ++i) out[i] = ToByte(static_cast<float>(sums[i]) / divisor);
    } else {
      for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<std::uint8_t>(std::min<std::int32_t>(sums[i], 255));
    }
  }

  // Each product is exact in double and the sum of a single-precision value
  // and such a product is too, so every step rounds once to single precision.
  void FloatRow(float* accs, std::uint8_t* out) {
    std::fill(accs, accs + rowBytes_, 0.0f);
    for (int o = 0; o < q_; ++o) {
      for (int c = 0; c < q_; ++c) {
        const double w = k_.weights[o * q_ + c];
        const std::uint8_t* src = window_[o] + Shift(c);
        for (std::size_t n = 0; n < rowBytes_; ++n)
          accs[n] = static_cast<float>(static_cast<double>(accs[n]) + src[n] * w);
      }
    }
    for (std::size_t n = 0; n < rowBytes_; ++n)
      out[n] = ToByte(k_.divide ? accs[n] / k_.divisor : accs[n]);
  }

  BitmapImageClass& image_;
  Convolution k_;
  int q_, bytes_, width_, height_;
  std::size_t rowBytes_, padded_;
  std::vector<std::uint8_t> storage_;
  std::vector<std::uint8_t*> window_;
  std::vector<Tap> taps_;
  std::vector<std::size_t> groupStarts_;  // taps of group g: [start g, start g + 1)
  int folds_ = 0;                         // folded rows (0 when the kernel is not symmetric)
  std::vector<std::uint16_t> folded_;     // folds_ rows of padded_ sums
};

}  // namespace

void BitmapImageClass::ApplyKernel(const float* weights, std::uint16_t radius, bool normalise) {
  LogMessage("entering " + kClass + "ApplyKernel(" + std::to_string(radius) + ", " +
             std::to_string(normalise ? 1 : 0) + ")...");
  if (radius > kMaxRadius || weights == nullptr) {
    LogMessage("ERROR: kernel radius " + std::to_string(radius) + " is larger than 32!!!");
  } else if (!IsEmpty() && Bitmap.bmWidth > 0 && Bitmap.bmHeight > 0) {
    // The normaliser is a 16-bit integer truncated after every addition;
    // a zero sum switches normalisation off.
    const int q = 2 * radius + 1;
    std::int16_t sum = 0;
    if (normalise) {
      for (int i = 0; i < q * q; ++i)
        sum = static_cast<std::int16_t>(static_cast<std::int32_t>(
            std::trunc(static_cast<double>(sum) + static_cast<double>(weights[i]))));
      if (sum == 0) normalise = false;
    }
    Convolver(*this, {weights, radius, false, normalise, static_cast<float>(sum)}).Run();
  }
  LogMessage("exiting  " + kClass + "ApplyKernel()...");
}

void BitmapImageClass::Blur3x3() {
  LogMessage("entering " + kClass + "Blur3x3()...");
  ApplyKernel(KernelTable(3), 1, true);
  LogMessage("exiting  " + kClass + "Blur3x3()...");
}

void BitmapImageClass::Blur5x5() {
  LogMessage("entering " + kClass + "Blur5x5()...");
  ApplyKernel(KernelTable(5), 2, true);
  LogMessage("exiting  " + kClass + "Blur5x5()...");
}

void BitmapImageClass::Blur7x7() {
  LogMessage("entering " + kClass + "Blur7x7()...");
  ApplyKernel(KernelTable(7), 3, true);
  LogMessage("exiting  " + kClass + "Blur7x7()...");
}

void BitmapImageClass::BlurGRAY(std::int16_t radius) {
  LogMessage("entering " + kClass + "BlurGRAY(" + std::to_string(radius) + ")...");
  // The table whose size fits the radius; other radii have none.
  const float* table =
      (radius >= 1 && radius <= 7) || radius == 10 ? KernelTable(2 * radius + 1) : nullptr;
  if (table == nullptr) {
    LogMessage("ERROR: no blur table for radius " + std::to_string(radius) + "!!!");
  } else if (BytesPerPixel == 1 && !IsEmpty() && Bitmap.bmWidth > 0 && Bitmap.bmHeight > 0) {
    const int q = 2 * radius + 1;
    float sum = 0;
    for (int i = 0; i < q * q; ++i) sum += table[i];
    Convolver(*this, {table, radius, true, true, sum}).Run();
  }
  LogMessage("exiting  " + kClass + "BlurGRAY()...");
}
