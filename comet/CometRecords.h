#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// One comet of a data set: 216 bytes, laid out as in the ".cdb" file.
struct CometRecord {
  std::uint32_t Version = 0;
  std::uint32_t RecordType = 0;
  std::uint8_t Included = 0;
  std::uint8_t Deleted = 0;
  std::uint8_t Padding1[2] = {};
  float CenterX = 0;
  float CenterY = 0;
  float Metrics[28] = {};  // the 18 metrics, then 10 spare
  std::int16_t HeadCenter = 0;
  char ImageName[32] = {};  // base name of the comet's thumbnails, NUL-terminated
  std::uint16_t ImageWidth = 0;
  std::uint16_t ImageHeight = 0;
  std::uint8_t Padding2[2] = {};
  float Orientation = 0;
  std::uint8_t Reserved[40] = {};
};
static_assert(sizeof(CometRecord) == 216);
static_assert(offsetof(CometRecord, Included) == 8 && offsetof(CometRecord, CenterX) == 12);
static_assert(offsetof(CometRecord, Metrics) == 20 && offsetof(CometRecord, HeadCenter) == 132);
static_assert(offsetof(CometRecord, ImageName) == 134 && offsetof(CometRecord, ImageWidth) == 166);
static_assert(offsetof(CometRecord, ImageHeight) == 168 &&
              offsetof(CometRecord, Orientation) == 172);
static_assert(offsetof(CometRecord, Reserved) == 176);

// The fixed part of a data set: 748 bytes, laid out as in the ".cdb" file.
struct WellHeader {
  std::uint32_t Version = 0;
  std::uint32_t DatabaseType = 0;
  char WellName[48] = {};  // the image's file name, NUL-terminated
  float MinCometArea = 0;
  float MaxCometArea = 0;
  float MinCometHeight = 0;
  float MaxCometHeight = 0;
  double ScaleX = 0;
  double ScaleY = 0;
  std::int16_t SegmentationOption = 0;
  // Degrees the image was turned counter-clockwise before it was scored (0,
  // 90, 180, 270); 0 in files written before turns were recorded, whose
  // word here was reserved and zero.
  std::int16_t Rotation = 0;
  std::int32_t Reserved2 = 0;
  std::int32_t Reserved3 = 0;
  float MinValue[30] = {};  // statistic slots: CenterX, CenterY, then the 18 metrics
  float MaxValue[30] = {};
  float RangeValue[30] = {};
  float MeanValue[30] = {};
  float StdDevValue[30] = {};
  std::uint32_t CometCount = 0;
  std::uint8_t Reserved4[40] = {};
  std::uint32_t CometsWord = 0;  // where the file keeps a pointer word; carried as read
};
// 748 bytes on file; in memory the doubles round the struct up to a multiple of 8.
static_assert(offsetof(WellHeader, CometsWord) + sizeof(std::uint32_t) == 748);
static_assert(offsetof(WellHeader, WellName) == 8 && offsetof(WellHeader, MinCometArea) == 56);
static_assert(offsetof(WellHeader, ScaleX) == 72 && offsetof(WellHeader, SegmentationOption) == 88);
static_assert(offsetof(WellHeader, Reserved2) == 92 && offsetof(WellHeader, MinValue) == 100);
static_assert(offsetof(WellHeader, MaxValue) == 220 && offsetof(WellHeader, StdDevValue) == 580);
static_assert(offsetof(WellHeader, CometCount) == 700 && offsetof(WellHeader, CometsWord) == 744);

// A data set: its header and the owned array of comets (kMaxComets records,
// of which the first CometCount are used).
struct WellRecord : WellHeader {
  static constexpr std::uint32_t kMaxComets = 8192;
  std::unique_ptr<CometRecord[]> Comets;
};

constexpr std::uint32_t kDatabaseVersion = 3;
constexpr std::uint32_t kCometDataSet = 5;

// A zeroed array of kMaxComets comets.
std::unique_ptr<CometRecord[]> NewCometArray();

// The names held in fixed fields, read no further than the field.
std::string WellNameOf(const WellHeader& well);
std::string ImageNameOf(const CometRecord& comet);

// Stores a name in a fixed field, cut to leave room for the terminating NUL.
void SetWellName(WellHeader& well, const std::string& name);
void SetImageName(CometRecord& comet, const std::string& name);
