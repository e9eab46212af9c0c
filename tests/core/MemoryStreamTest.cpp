#include "MemoryStream.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testing_support;

namespace {

TEST(MemoryStreamTest, WritesReadsAndSeeks) {
  TMemoryStream* stream = TMemoryStream_Create();
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(TMemoryStream_Write(stream, "abcdef", 6));
  EXPECT_TRUE(TMemoryStream_Seek(stream, 2, 0));
  EXPECT_TRUE(TMemoryStream_Write(stream, "XY", 2));  // overwrites
  EXPECT_TRUE(TMemoryStream_Seek(stream, -1, 2));
  char buffer[4] = {'-', '-', '-', '-'};
  EXPECT_TRUE(TMemoryStream_Read(stream, buffer, 4));  // short read: one byte
  EXPECT_EQ(std::string(buffer, 4), "f---");
  EXPECT_FALSE(TMemoryStream_Read(stream, buffer, 4));  // at the end: nothing
  EXPECT_TRUE(TMemoryStream_Seek(stream, -3, 1));
  EXPECT_TRUE(TMemoryStream_Read(stream, buffer, 2));
  EXPECT_EQ(std::string(buffer, 2), "Ye");
  EXPECT_FALSE(TMemoryStream_Seek(stream, -1, 0));
  EXPECT_FALSE(TMemoryStream_Seek(stream, 0, 3));
  EXPECT_EQ(std::string(stream->data.begin(), stream->data.end()), "abXYef");
  EXPECT_TRUE(TMemoryStream_Destroy(stream));
}

TEST(MemoryStreamTest, EmptyStreamReadsNothing) {
  TMemoryStream* stream = TMemoryStream_Create();
  char buffer[4] = {1, 2, 3, 4};
  EXPECT_FALSE(TMemoryStream_Read(stream, buffer, 4));
  EXPECT_EQ(buffer[0], 1);
  EXPECT_EQ(buffer[3], 4);
  TMemoryStream_Destroy(stream);
}

TEST(MemoryStreamTest, FilesInAndOut) {
  TempDir dir;
  ScopedTraceLog log;
  TMemoryStream* stream = TMemoryStream_Create();
  EXPECT_TRUE(TMemoryStream_SaveToFile(stream, dir / "empty.bin"));
  EXPECT_TRUE(Exists(dir / "empty.bin"));
  EXPECT_EQ(ReadFile(dir / "empty.bin"), "");

  WriteFile(dir / "data.bin", std::string("\x00\x01\x02", 3));
  EXPECT_TRUE(TMemoryStream_LoadFromFile(stream, dir / "data.bin"));
  EXPECT_EQ(stream->data.size(), 3u);
  EXPECT_EQ(stream->position, 0u);

  const std::size_t before = log.Messages().size();
  EXPECT_FALSE(TMemoryStream_LoadFromFile(stream, dir / "missing.bin"));
  auto messages = log.Messages();
  ASSERT_EQ(messages.size(), before + 3);
  EXPECT_EQ(messages[before + 1],
            "ERROR: Cannot open file \"" + dir / "missing.bin" + "\". No such file or directory");
  EXPECT_EQ(messages[before + 2], "exiting  TMemoryStream_LoadFromFile(FAILURE)...");
  EXPECT_EQ(stream->data.size(), 3u);  // unchanged

  EXPECT_FALSE(TMemoryStream_LoadFromFile(stream, dir.Path()));  // a folder
  EXPECT_FALSE(TMemoryStream_SaveToFile(stream, dir / "no/such/folder.bin"));
  TMemoryStream_Destroy(stream);
}

TEST(MemoryStreamTest, DestroyingNothingIsLoggedButSucceeds) {
  ScopedTraceLog log;
  EXPECT_TRUE(TMemoryStream_Destroy(nullptr));
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{
                                "entering TMemoryStream_Destroy()...",
                                "ERROR: trying to delete NULL pointer!!!",
                                "exiting  TMemoryStream_Destroy(SUCCESS)...",
                            }));
  EXPECT_FALSE(TMemoryStream_Read(nullptr, nullptr, 1));
}

}  // namespace
