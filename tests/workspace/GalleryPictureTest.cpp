#include <gtest/gtest.h>

#include <cstdlib>

#include "SyntheticField.h"

namespace {

constexpr int kSide = 256;
constexpr int kHeadX = kSide / 4, kHeadY = kSide / 2;

// The stain (green) at picture coordinates, row 0 at the top.
int Stain(const BitmapImageClass& image, int x, int y) {
  return image.GetScanLine(kSide - 1 - y)[3 * x + 1];
}

// The largest step between neighbours along the row through the head.
int LargestStepAlongTheComet(const BitmapImageClass& image) {
  int largest = 0;
  for (int x = 1; x < kSide; ++x)
    largest = std::max(largest, std::abs(Stain(image, x, kHeadY) - Stain(image, x - 1, kHeadY)));
  return largest;
}

// Rows of the column through the head's centre brighter than `level`.
int HeadHeight(const BitmapImageClass& image, int level) {
  int rows = 0;
  for (int y = 0; y < kSide; ++y) rows += Stain(image, kHeadX, y) > level;
  return rows;
}

// The last column along the row through the head brighter than `level`.
int CometEnd(const BitmapImageClass& image, int level) {
  int end = 0;
  for (int x = 0; x < kSide; ++x)
    if (Stain(image, x, kHeadY) > level) end = x;
  return end;
}

// The stain above the background right of the undamaged head: the DNA in
// the tail.
long TailStain(const BitmapImageClass& image) {
  const int background = Stain(image, kSide - 1, 0);
  long sum = 0;
  for (int y = 0; y < kSide; ++y)
    for (int x = kHeadX + kSide * 3 / 20; x < kSide; ++x) sum += Stain(image, x, y) - background;
  return sum;
}

}  // namespace

TEST(GalleryPictureTest, TheHeadShrinksAndTheTailGrowsWithoutASeam) {
  int previousHead = kSide + 1;
  long previousTail = -1;
  for (int damage = 0; damage <= 21; ++damage) {
    SCOPED_TRACE(damage);
    const auto picture = MakeCometPicture(kSide, damage);
    ASSERT_EQ(picture->Bitmap.bmWidth, kSide);
    ASSERT_EQ(picture->Bitmap.bmHeight, kSide);
    // A smooth comet: no jump where the tail leaves the head (a tail cut
    // off at the head's centre jumps by more than a hundred levels).
    EXPECT_LE(LargestStepAlongTheComet(*picture), 20);
    const int head = HeadHeight(*picture, 120);
    const long tail = TailStain(*picture);
    EXPECT_LE(head, previousHead);
    EXPECT_GT(tail, previousTail);
    previousHead = head;
    previousTail = tail;
  }
  const auto intact = MakeCometPicture(kSide, 0);
  const auto heavy = MakeCometPicture(kSide, 21);
  EXPECT_LT(HeadHeight(*heavy, 120) * 3, HeadHeight(*intact, 120) * 2);  // clearly smaller
  EXPECT_GT(CometEnd(*heavy, 40) - CometEnd(*intact, 40), kSide / 4);
  EXPECT_LT(CometEnd(*heavy, 40), kSide - 1);  // the tail ends inside the picture
}
