#include "SyntheticField.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// Uniform integers from the raw generator, the same on every platform.
class Dice {
 public:
  explicit Dice(std::uint32_t seed) : engine_(seed) {}
  int Between(int low, int high) {  // inclusive
    return low + static_cast<int>(engine_() % static_cast<std::uint32_t>(high - low + 1));
  }

 private:
  std::mt19937 engine_;
};

// Brightness of one comet at a pixel, on a 0..255 scale.
double CometLevel(const SyntheticComet& c, double peak, int x, int y) {
  const double dx = x - c.headX, dy = y - c.headY;
  const double r = c.radius;
  double v = peak * std::exp(-1.2 * (dx * dx + dy * dy) / (r * r));
  if (c.tailLength > 0 && dx > 0 && dx < c.tailLength + r) {
    const double t = dx / (c.tailLength + r);
    const double spread = r * (0.8 + 0.5 * t);
    v += peak * 0.55 * (1.0 - t) * std::exp(-(dy * dy) / (spread * spread));
  }
  return v;
}

}  // namespace

SyntheticField MakeSyntheticField(int width, int height, std::uint32_t seed) {
  Dice dice(seed);
  SyntheticField field;
  field.image = std::make_unique<BitmapImageClass>(width, height, 24);

  // Comets on a loose grid so that they do not overlap; about one per
  // 40 000 pixels, two of them pushed onto the border.
  const int cell = 200;
  std::vector<double> peaks;
  for (int gy = 0; gy + cell / 2 <= height; gy += cell)
    for (int gx = 0; gx + cell <= width; gx += cell) {
      SyntheticComet c;
      c.radius = dice.Between(9, 16);
      c.tailLength = dice.Between(0, 4) == 0 ? 0 : dice.Between(c.radius, 6 * c.radius);
      c.headX = gx + c.radius + 6 + dice.Between(0, std::max(1, cell - 7 * c.radius - 40));
      c.headY = gy + c.radius + 8 + dice.Between(0, std::max(1, cell / 2 - 2 * c.radius - 16));
      c.onBorder = false;
      if (c.headY + c.radius + 8 >= height) continue;
      field.comets.push_back(c);
      peaks.push_back(dice.Between(170, 250));
    }
  for (int side = 0; side < 2 && width > 100 && height > 100; ++side) {
    SyntheticComet c{side == 0 ? 4 : width - 5, height / 2 + side * 17, 12, 25, true};
    field.comets.push_back(c);
    peaks.push_back(220);
  }

  std::vector<double> level(static_cast<std::size_t>(width) * height, 0.0);
  for (std::size_t i = 0; i < field.comets.size(); ++i) {
    const SyntheticComet& c = field.comets[i];
    const int reach = c.radius * 3 + c.tailLength;
    for (int y = std::max(0, c.headY - reach); y < std::min(height, c.headY + reach); ++y)
      for (int x = std::max(0, c.headX - reach); x < std::min(width, c.headX + reach + c.radius);
           ++x)
        level[static_cast<std::size_t>(y) * width + x] += CometLevel(c, peaks[i], x, y);
  }
  // Small specks: a few pixels of debris, too small to be comets.
  for (int s = 0; s < width * height / 60000 + 3; ++s) {
    const int x = dice.Between(2, width - 4), y = dice.Between(2, height - 4);
    for (int k = 0; k < 4; ++k)
      level[static_cast<std::size_t>(y + k / 2) * width + x + k % 2] += 160;
  }
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = field.image->GetScanLine(height - 1 - y);  // row 0 is the bottom
    for (int x = 0; x < width; ++x) {
      const double v = std::min(
          255.0, 14 + dice.Between(0, 12) + level[static_cast<std::size_t>(y) * width + x]);
      row[3 * x + 0] = static_cast<std::uint8_t>(v * 0.35);  // blue
      row[3 * x + 1] = static_cast<std::uint8_t>(v);         // green: the stain
      row[3 * x + 2] = static_cast<std::uint8_t>(v * 0.25);  // red
    }
  }
  return field;
}

std::unique_ptr<BitmapImageClass> MakeCometPicture(int side, int damage) {
  // The gallery's lesson drawn as it reads: with damage a share of the
  // head's DNA moves into the tail, so the head shrinks and dims while the
  // tail grows longer and brighter. The tail rises smoothly out of the
  // head (no edge where it starts) and fades towards its end.
  const double d = std::clamp(damage, 0, 21) / 21.0;
  const double headX = side / 4.0, headY = side / 2.0;
  const double r0 = side / 10.0;
  const double r = r0 * (1.0 - 0.4 * d);  // head radius
  const double headPeak = 235.0 * (1.0 - 0.3 * d);
  const double tailLength = d > 0 ? side * (0.2 + 0.45 * d) : 0.0;  // from the head's centre
  const double tailPeak = 40.0 + 120.0 * d;
  auto image = std::make_unique<BitmapImageClass>(side, side, 24);
  for (int y = 0; y < side; ++y) {
    std::uint8_t* row = image->GetScanLine(side - 1 - y);
    for (int x = 0; x < side; ++x) {
      const double dx = x - headX, dy = y - headY;
      double v = headPeak * std::exp(-1.2 * (dx * dx + dy * dy) / (r * r));
      if (tailLength > 0) {
        // Onset: a smooth step on the head's right side; fall-off: a smooth
        // fade over the tail's length; width: widening with distance.
        const double onset = 0.5 * (1.0 + std::tanh((dx - 0.5 * r) / (0.3 * r)));
        const double t = std::max(0.0, dx) / tailLength;
        const double fade = t >= 1.0 ? 0.0 : (1.0 - t) * (1.0 - t) * (1.0 + 2.0 * t);
        const double spread = r * (0.9 + 0.6 * std::min(1.0, t));
        v += tailPeak * onset * fade * std::exp(-(dy * dy) / (spread * spread));
      }
      v = std::min(255.0, 6.0 + v);
      row[3 * x + 0] = static_cast<std::uint8_t>(v * 0.35);
      row[3 * x + 1] = static_cast<std::uint8_t>(v);
      row[3 * x + 2] = static_cast<std::uint8_t>(v * 0.25);
    }
  }
  return image;
}
