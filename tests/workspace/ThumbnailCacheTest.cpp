#include <gtest/gtest.h>

#include <filesystem>

#include "CometMetrics.h"
#include "ReviewTestUtil.h"
#include "TestSupport.h"
#include "ThumbnailCache.h"
#include "ThumbnailFiles.h"

using namespace testing_support;

namespace {

// A "picture" is the file's text; decoding counts itself.
struct CountingDecoder {
  int decoded = 0;
  ThumbnailCache<std::string>::Decoder Fn() {
    return [this](const std::string& path) -> std::optional<std::string> {
      ++decoded;
      const std::string text = ReadFile(path);
      if (text == "garbage") return std::nullopt;
      return text;
    };
  }
};

TEST(ThumbnailCacheTest, RedrawsReadNoFileAgain) {
  TempDir dir;
  WriteFile(dir / "a.bmp", "one");
  ThumbnailCache<std::string> cache(8);
  CountingDecoder d;
  EXPECT_EQ(*cache.Get(dir / "a.bmp", d.Fn()), "one");
  EXPECT_EQ(*cache.Get(dir / "a.bmp", d.Fn()), "one");
  EXPECT_EQ(d.decoded, 1);
  EXPECT_EQ(cache.Size(), 1u);
}

TEST(ThumbnailCacheTest, RewrittenFilesAreNotServedStale) {
  TempDir dir;
  const std::string path = dir / "a.jpg";
  WriteFile(path, "one");
  ThumbnailCache<std::string> cache(8);
  CountingDecoder d;
  auto held = cache.Get(path, d.Fn());
  WriteFile(path, "longer");  // rewritten in place
  EXPECT_EQ(*cache.Get(path, d.Fn()), "longer");
  WriteFile(dir / "new.jpg", "second");  // same size, replaced by a rename
  std::filesystem::rename(dir / "new.jpg", path);
  EXPECT_EQ(*cache.Get(path, d.Fn()), "second");
  EXPECT_EQ(d.decoded, 3);
  EXPECT_EQ(*held, "one");  // a picture in use stays whole
  cache.Forget(path);
  EXPECT_EQ(cache.Size(), 0u);
  EXPECT_EQ(*cache.Get(path, d.Fn()), "second");
  EXPECT_EQ(d.decoded, 4);
}

TEST(ThumbnailCacheTest, MissingAndUndecodableFilesKeepNothing) {
  TempDir dir;
  WriteFile(dir / "bad.bmp", "garbage");
  std::filesystem::create_directory(dir / "folder.bmp");
  ThumbnailCache<std::string> cache(8);
  CountingDecoder d;
  EXPECT_EQ(cache.Get(dir / "missing.bmp", d.Fn()), nullptr);
  EXPECT_EQ(cache.Get(dir / "folder.bmp", d.Fn()), nullptr);
  EXPECT_EQ(d.decoded, 0);
  EXPECT_EQ(cache.Get(dir / "bad.bmp", d.Fn()), nullptr);
  EXPECT_EQ(cache.Get(dir / "bad.bmp", d.Fn()), nullptr);
  EXPECT_EQ(d.decoded, 2);
  EXPECT_EQ(cache.Size(), 0u);
  // A cached file that goes away is dropped.
  WriteFile(dir / "gone.bmp", "x");
  ASSERT_TRUE(cache.Get(dir / "gone.bmp", d.Fn()));
  std::filesystem::remove(dir / "gone.bmp");
  EXPECT_EQ(cache.Get(dir / "gone.bmp", d.Fn()), nullptr);
  EXPECT_EQ(cache.Size(), 0u);
}

// Pictures are counted by their bytes too: the oldest go when a new one
// would pass the budget, and one larger than the whole budget is served
// but never kept.
TEST(ThumbnailCacheTest, StaysWithinItsBytes) {
  TempDir dir;
  WriteFile(dir / "small", std::string(40, 's'));
  WriteFile(dir / "medium", std::string(50, 'm'));
  WriteFile(dir / "large", std::string(70, 'l'));
  WriteFile(dir / "huge", std::string(150, 'h'));
  ThumbnailCache<std::string> cache(100, 100, [](const std::string& s) { return s.size(); });
  CountingDecoder d;
  cache.Get(dir / "small", d.Fn());
  cache.Get(dir / "medium", d.Fn());
  EXPECT_EQ(cache.Bytes(), 90u);
  cache.Get(dir / "large", d.Fn());  // both older ones go to make room
  EXPECT_EQ(cache.Size(), 1u);
  EXPECT_EQ(cache.Bytes(), 70u);
  EXPECT_EQ(cache.Get(dir / "huge", d.Fn())->size(), 150u);
  EXPECT_EQ(cache.Size(), 1u);
  EXPECT_EQ(cache.Bytes(), 70u);
  const int decoded = d.decoded;
  cache.Get(dir / "large", d.Fn());
  EXPECT_EQ(d.decoded, decoded);  // still kept
  cache.Forget(dir / "large");
  EXPECT_EQ(cache.Bytes(), 0u);
}

TEST(ThumbnailCacheTest, KeepsTheMostRecentlyUsed) {
  TempDir dir;
  for (const char* name : {"a", "b", "c"}) WriteFile(dir / name, name);
  ThumbnailCache<std::string> cache(2);
  CountingDecoder d;
  cache.Get(dir / "a", d.Fn());
  cache.Get(dir / "b", d.Fn());
  cache.Get(dir / "a", d.Fn());
  cache.Get(dir / "c", d.Fn());  // b goes
  EXPECT_EQ(cache.Size(), 2u);
  EXPECT_EQ(d.decoded, 3);
  cache.Get(dir / "a", d.Fn());
  EXPECT_EQ(d.decoded, 3);
  cache.Get(dir / "b", d.Fn());
  EXPECT_EQ(d.decoded, 4);
  cache.Clear();
  EXPECT_EQ(cache.Size(), 0u);
  ThumbnailCache<std::string> none(0);
  EXPECT_EQ(*none.Get(dir / "a", d.Fn()), "a");
  EXPECT_EQ(none.Size(), 0u);
}

TEST(ThumbnailCacheTest, FolderIndexFindsWhatTheSearchFinds) {
  TempDir dir;
  const std::vector<std::string> images = {dir / "a.png", dir / "b.bmp", dir / "c.jpg"};
  for (const char* folder : {"a", "b", "c"}) std::filesystem::create_directory(dir / folder);
  WriteFile(dir / "b/t1.bmp", "x");
  WriteFile(dir / "c/t1.bmp", "x");
  std::filesystem::create_directory(dir / "a/t1.jpg");  // not a file: c's is found
  WriteFile(dir / "c/t1.jpg", "x");
  WellRecord well = WellOfValues(kTailDNA, {1.0f, 2.0f, 3.0f});
  SetImageName(well.Comets[0], "t1");
  SetImageName(well.Comets[1], "t2");
  SetImageName(well.Comets[2], "../b/t1");
  FolderThumbnailIndex index(images);
  EXPECT_EQ(index.Images(), images);
  for (const char* ext : {".bmp", ".jpg"})
    for (std::uint32_t i = 0; i < 3; ++i) {
      const auto searched = FindFolderThumbnail(images, well.Comets[i], ext);
      const auto indexed = index.Find(well.Comets[i], ext);
      ASSERT_EQ(indexed.has_value(), searched.has_value()) << i << ext;
      if (!searched) continue;
      EXPECT_EQ(indexed->image, searched->image);
      EXPECT_EQ(indexed->path, searched->path);
    }
  // Files gone or written since the listing.
  std::filesystem::remove(dir / "b/t1.bmp");
  EXPECT_EQ(index.Find(well.Comets[0], ".bmp")->image, 2u);
  WriteFile(dir / "a/t2.bmp", "x");
  EXPECT_EQ(index.Find(well.Comets[1], ".bmp")->path, dir / "a/t2.bmp");
  EXPECT_FALSE(FolderThumbnailIndex({dir / "none.png"}).Find(well.Comets[0], ".bmp"));

  // Images that would share a result folder are never a comet's source.
  const std::vector<std::string> pair = {dir / "c.jpg", dir / "c.png"};
  EXPECT_FALSE(FindFolderThumbnail(pair, well.Comets[0], ".jpg"));
  EXPECT_FALSE(FolderThumbnailIndex(pair).Find(well.Comets[0], ".jpg"));
  EXPECT_TRUE(FolderThumbnailIndex({dir / "c.jpg"}).Find(well.Comets[0], ".jpg"));
}

}  // namespace
