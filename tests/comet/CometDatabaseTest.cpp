#include "CometDatabase.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <random>

#include "LittleEndian.h"
#include "RecordCodec.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

// File bytes of a current data set: random in every byte except the
// version, kind and count words.
std::string CurrentFile(std::uint32_t count, std::uint32_t version = 3, std::uint32_t type = 5,
                        std::uint32_t declared = UINT32_MAX, unsigned seed = 1) {
  std::mt19937 random(seed);
  std::string bytes(748 + 216 * count, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  auto* p = reinterpret_cast<std::uint8_t*>(bytes.data());
  PutLE32(p, version);
  PutLE32(p + 4, type);
  PutLE32(p + 700, declared == UINT32_MAX ? count : declared);
  return bytes;
}

class CometDatabaseTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    WriteFile(dir_ / name, bytes);
    return dir_ / name;
  }
  bool Logged(const std::string& line) const {
    auto messages = log_.Messages();
    return std::find(messages.begin(), messages.end(), line) != messages.end();
  }

  TempDir dir_;
  ScopedTraceLog log_;
};

TEST_F(CometDatabaseTest, EveryByteSurvivesARoundTrip) {
  for (std::uint32_t count : {0u, 1u, 7u}) {
    const std::string original = CurrentFile(count, 3, 5, UINT32_MAX, count + 10);
    WellRecord well;
    ASSERT_TRUE(Zelcor_ReadFromDB(Write("in.cdb", original), well));
    EXPECT_EQ(well.CometCount, count);
    ASSERT_TRUE(Zelcor_WriteToDB(dir_ / "out.cdb", well));
    EXPECT_EQ(ReadFile(dir_ / "out.cdb"), original) << count;
  }
}

TEST_F(CometDatabaseTest, FieldsLieAtTheirOffsets) {
  WellRecord well;
  well.Version = 1;
  well.DatabaseType = 5;
  SetWellName(well, "field_01.jpg");
  well.MaxCometArea = 2147483648.0f;
  well.ScaleX = 1000.0;
  well.SegmentationOption = -2;
  well.MeanValue[29] = 1.5f;
  well.CometCount = 2;
  well.Comets = NewCometArray();
  well.Comets[1].Deleted = 1;
  well.Comets[1].Metrics[17] = 0.25f;
  well.Comets[1].HeadCenter = -1;
  SetImageName(well.Comets[1], "2013050714030917");
  well.Comets[1].ImageHeight = 300;
  well.Comets[1].Orientation = -42.5f;
  ASSERT_TRUE(Zelcor_WriteToDB(dir_ / "a/b/set.cdb", well));  // folders are made
  EXPECT_EQ(well.Version, 3u);
  const std::string file = ReadFile(dir_ / "a/b/set.cdb");
  ASSERT_EQ(file.size(), 748u + 2 * 216u);
  auto* p = reinterpret_cast<const std::uint8_t*>(file.data());
  EXPECT_EQ(GetLE32(p), 3u);
  EXPECT_EQ(file.substr(8, 13), std::string("field_01.jpg\0", 13));
  EXPECT_EQ(GetLE32(p + 60), std::bit_cast<std::uint32_t>(2147483648.0f));
  EXPECT_EQ(GetLE64(p + 72), std::bit_cast<std::uint64_t>(1000.0));
  EXPECT_EQ(static_cast<std::int16_t>(GetLE16(p + 88)), -2);
  EXPECT_EQ(GetLE32(p + 460 + 4 * 29), std::bit_cast<std::uint32_t>(1.5f));
  EXPECT_EQ(GetLE32(p + 700), 2u);
  const std::uint8_t* c = p + 748 + 216;
  EXPECT_EQ(c[9], 1);
  EXPECT_EQ(GetLE32(c + 20 + 4 * 17), std::bit_cast<std::uint32_t>(0.25f));
  EXPECT_EQ(GetLE16(c + 132), 0xFFFF);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(c + 134)), "2013050714030917");
  EXPECT_EQ(GetLE16(c + 168), 300);
  EXPECT_EQ(GetLE32(c + 172), std::bit_cast<std::uint32_t>(-42.5f));
}

TEST_F(CometDatabaseTest, VersionTwoDataSetsAreConverted) {
  std::string bytes(484 + 3 * 132, '\0');
  auto* p = reinterpret_cast<std::uint8_t*>(bytes.data());
  PutLE32(p, 2);
  PutLE32(p + 4, 5);
  std::memcpy(p + 8, "old.bmp", 7);
  PutLE64(p + 72, std::bit_cast<std::uint64_t>(250.0));
  for (int a = 0; a < 5; ++a)
    for (int s = 0; s < 19; ++s)
      PutLE32(p + 100 + 76 * a + 4 * s, std::bit_cast<std::uint32_t>(100.0f * a + s + 1));
  PutLE32(p + 480, 3);
  for (int k = 0; k < 3; ++k) {
    std::uint8_t* c = p + 484 + 132 * k;
    c[8] = 1;
    c[9] = static_cast<std::uint8_t>(k == 2);
    PutLE32(c + 12, std::bit_cast<std::uint32_t>(10.0f + k));
    for (int m = 0; m < 17; ++m) PutLE32(c + 20 + 4 * m, std::bit_cast<std::uint32_t>(m + 0.5f));
    PutLE16(c + 88, static_cast<std::uint16_t>(7 + k));
    std::memcpy(c + 90, "2010010101010101", 16);
    PutLE16(c + 122, 40);
    PutLE16(c + 124, 30);
    PutLE32(c + 128, std::bit_cast<std::uint32_t>(12.5f));
  }
  WellRecord well;
  ASSERT_TRUE(Zelcor_ReadFromDB(Write("old.cdb", bytes), well));
  EXPECT_EQ(well.Version, 3u);
  EXPECT_EQ(well.DatabaseType, 5u);
  EXPECT_EQ(WellNameOf(well), "old.bmp");
  EXPECT_EQ(well.ScaleX, 250.0);
  EXPECT_EQ(well.MinValue[0], 1.0f);
  EXPECT_EQ(well.MinValue[1], 2.0f);
  EXPECT_EQ(well.MinValue[2], 0.0f);  // Comet Probability
  EXPECT_EQ(well.MinValue[3], 3.0f);
  EXPECT_EQ(well.StdDevValue[19], 419.0f);
  EXPECT_EQ(well.StdDevValue[20], 0.0f);
  EXPECT_EQ(well.CometCount, 3u);
  for (int k = 0; k < 3; ++k) {
    const CometRecord& c = well.Comets[k];
    EXPECT_EQ(c.Version, 3u);
    EXPECT_EQ(c.RecordType, 5u);
    EXPECT_EQ(c.Included, 1);
    EXPECT_EQ(c.Deleted, k == 2 ? 1 : 0);
    EXPECT_EQ(c.CenterX, 10.0f + k);
    EXPECT_EQ(c.Metrics[0], 0.0f);
    EXPECT_EQ(c.Metrics[1], 0.5f);
    EXPECT_EQ(c.Metrics[17], 16.5f);
    EXPECT_EQ(c.Metrics[18], 0.0f);
    EXPECT_EQ(c.HeadCenter, 7 + k);
    EXPECT_EQ(ImageNameOf(c), "2010010101010101");
    EXPECT_EQ(c.ImageWidth, 40);
    EXPECT_EQ(c.ImageHeight, 30);
    EXPECT_EQ(c.Orientation, 12.5f);
  }
  EXPECT_EQ(well.Comets[3].Version, 0u);  // the rest of the array is zero
}

TEST_F(CometDatabaseTest, VersionsAndKinds) {
  struct Case {
    std::uint32_t version, type;
    bool ok;
    const char* line;
  };
  const Case cases[] = {
      {0, 5, false, "ERROR: unsupported file version 0!!!"},
      {1, 5, true, nullptr},
      {7, 5, true, nullptr},
      {3, 9, false, "ERROR: improper database type = 9!!!"},
      {3, 0, false, "ERROR: improper database type = 0!!!"},
      {2, 9, true, nullptr},
  };
  for (const auto& c : cases) {
    WellRecord well;
    well.CometCount = 99;
    const bool ok = Zelcor_ReadFromDB(Write("v.cdb", CurrentFile(2, c.version, c.type)), well);
    EXPECT_EQ(ok, c.ok) << c.version << "/" << c.type;
    if (c.line != nullptr) {
      EXPECT_TRUE(Logged(c.line)) << c.line;
    }
    if (ok && c.type == 5) {
      EXPECT_EQ(well.CometCount, 2u);
    }
    if (!ok) {
      EXPECT_EQ(well.CometCount, 99u);  // a failed read leaves the destination
    }
    if (c.version == 2) {
      EXPECT_NE(well.Comets, nullptr);  // read as nothing, but usable
      EXPECT_EQ(well.CometCount, 0u);
    }
  }
}

TEST_F(CometDatabaseTest, DamagedFilesAreReadOnlyAsFarAsTheyGo) {
  WellRecord well;
  EXPECT_FALSE(Zelcor_ReadFromDB(dir_ / "missing.cdb", well));
  EXPECT_TRUE(Logged("ERROR: " + dir_ / "missing.cdb" + " does not exist!!!"));

  EXPECT_FALSE(Zelcor_ReadFromDB(Write("tiny.cdb", "\x03\x00"), well));
  EXPECT_FALSE(Zelcor_ReadFromDB(Write("cut.cdb", CurrentFile(0).substr(0, 600)), well));
  EXPECT_TRUE(Logged("ERROR: " + dir_ / "cut.cdb" + " ends inside its WellRecord!!!"));
  EXPECT_EQ(well.Comets, nullptr);

  const std::string five = CurrentFile(5);
  ASSERT_TRUE(Zelcor_ReadFromDB(Write("short.cdb", five.substr(0, 748 + 3 * 216 + 100)), well));
  EXPECT_EQ(well.CometCount, 3u);
  EXPECT_TRUE(Logged("ERROR: " + dir_ / "short.cdb" + " ends after 3 of 5 comet records!!!"));

  ASSERT_TRUE(Zelcor_ReadFromDB(Write("many.cdb", CurrentFile(8200, 3, 5, 100000)), well));
  EXPECT_EQ(well.CometCount, 8192u);
  EXPECT_TRUE(Logged("ERROR: " + dir_ / "many.cdb" +
                     " holds 100000 comets, more than 8192; only the first 8192 are read!!!"));
  EXPECT_EQ(
      well.Comets[8191].Version,
      GetLE32(reinterpret_cast<const std::uint8_t*>(CurrentFile(8200).data()) + 748 + 216 * 8191));

  std::mt19937 random(3);
  std::string garbage(3000, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  WellRecord untouched;
  EXPECT_FALSE(Zelcor_ReadFromDB(Write("garbage.cdb", garbage), untouched));  // a random kind
  EXPECT_EQ(untouched.Comets, nullptr);
}

TEST_F(CometDatabaseTest, AFailedWriteKeepsThePreviousFile) {
  WellRecord well;
  ASSERT_TRUE(Zelcor_ReadFromDB(Write("set.cdb", CurrentFile(3)), well));
  const std::string before = ReadFile(dir_ / "set.cdb");

  well.CometCount = 2000;  // a file of 432 748 bytes
  signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit limit = old;
  limit.rlim_cur = 100000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  const bool written = Zelcor_WriteToDB(dir_ / "set.cdb", well);
  setrlimit(RLIMIT_FSIZE, &old);

  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFile(dir_ / "set.cdb"), before);
  EXPECT_TRUE(
      Logged("ERROR: unable to save " + dir_ / "set.cdb" + "; the previous file is kept!!!"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(CometDatabaseTest, WritesThatCannotBeMade) {
  WriteFile(dir_ / "file", "x");
  WellRecord well;
  well.DatabaseType = 5;
  EXPECT_FALSE(Zelcor_WriteToDB(dir_ / "file/sub/set.cdb", well));
  EXPECT_TRUE(Logged("ERROR: Unable to create directory \"" + dir_ / "file/sub" + "\"!!!"));

  well.DatabaseType = 4;
  EXPECT_FALSE(Zelcor_WriteToDB(dir_ / "set.cdb", well));
  EXPECT_TRUE(Logged("ERROR: improper database type = 4!!!"));

  well.DatabaseType = 5;
  well.CometCount = 3;  // but no comet array
  EXPECT_FALSE(Zelcor_WriteToDB(dir_ / "set.cdb", well));
  EXPECT_FALSE(Exists(dir_ / "set.cdb"));
}

TEST_F(CometDatabaseTest, OtherKindsAsBlocks) {
  std::vector<std::uint8_t> block(1252, 0);
  PutLE32(block.data(), 3);
  PutLE32(block.data() + 4, 4);
  PutLE16(block.data() + 1172, 2);
  PutLE16(block.data() + 1200, 9);
  ASSERT_TRUE(Zelcor_WriteBlockToDB(dir_ / "layout.cdb", block));
  std::vector<std::uint8_t> read;
  ASSERT_TRUE(Zelcor_ReadBlockFromDB(dir_ / "layout.cdb", read));
  ASSERT_EQ(read.size(), 1252u);
  EXPECT_EQ(GetLE16(read.data() + 1200), 4);  // derived from code 2
  EXPECT_EQ(GetLE16(read.data() + 1202), 5);

  std::string old(1212, '\0');
  auto* p = reinterpret_cast<std::uint8_t*>(old.data());
  PutLE32(p, 2);
  PutLE32(p + 4, 4);
  PutLE16(p + 1172, 4);
  PutLE16(p + 1200, 6);
  PutLE16(p + 1202, 7);  // both present: kept in the old format
  ASSERT_TRUE(Zelcor_ReadBlockFromDB(Write("old4.cdb", old), read));
  EXPECT_EQ(GetLE32(read.data()), 3u);
  EXPECT_EQ(GetLE16(read.data() + 1200), 6);
  PutLE16(p + 1202, 0);
  ASSERT_TRUE(Zelcor_ReadBlockFromDB(Write("old4.cdb", old), read));
  EXPECT_EQ(GetLE16(read.data() + 1200), 8);
  EXPECT_EQ(GetLE16(read.data() + 1202), 12);

  std::string old3(1608, '\0');
  PutLE32(reinterpret_cast<std::uint8_t*>(old3.data()), 2);
  PutLE32(reinterpret_cast<std::uint8_t*>(old3.data()) + 4, 3);
  EXPECT_FALSE(Zelcor_ReadBlockFromDB(Write("old3.cdb", old3), read));

  WellRecord well;
  EXPECT_FALSE(Zelcor_ReadFromDB(dir_ / "layout.cdb", well));
  EXPECT_TRUE(
      Logged("ERROR: " + dir_ / "layout.cdb" + " holds database type 4, not a comet data set!!!"));
}

TEST(CometRecordsTest, NamesStayInsideTheirFields) {
  WellRecord well;
  std::memset(well.WellName, 'A', sizeof well.WellName);  // no terminating NUL
  EXPECT_EQ(WellNameOf(well), std::string(48, 'A'));
  SetWellName(well, std::string(60, 'B'));
  EXPECT_EQ(WellNameOf(well), std::string(47, 'B'));
  CometRecord comet;
  SetImageName(comet, std::string(40, 'C'));
  EXPECT_EQ(ImageNameOf(comet), std::string(31, 'C'));
  std::memset(comet.ImageName, 'D', sizeof comet.ImageName);
  EXPECT_EQ(ImageNameOf(comet), std::string(32, 'D'));
}

TEST(CometRecordsTest, CodecCoversEveryByte) {
  std::mt19937 random(11);
  std::uint8_t well[748], comet[216], again[748];
  for (auto& b : well) b = static_cast<std::uint8_t>(random());
  for (auto& b : comet) b = static_cast<std::uint8_t>(random());
  WellHeader header;
  DecodeWellHeader(well, header);
  std::memset(again, 0, sizeof again);
  EncodeWellHeader(header, again);
  EXPECT_EQ(std::memcmp(well, again, 748), 0);
  CometRecord record;
  DecodeCometRecord(comet, record);
  std::uint8_t out[216] = {};
  EncodeCometRecord(record, out);
  EXPECT_EQ(std::memcmp(comet, out, 216), 0);
}

}  // namespace
