#pragma once

#include <cstdint>
#include <vector>

// One run of set pixels in one row; colEnd is the run's last column.
struct Chord {
  std::uint32_t label = 0;  // only while labelling; 0 in a feature's own list
  std::int16_t row = 0;
  std::int16_t colStart = 0;
  std::int16_t colEnd = 0;
};

struct BoundaryPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// One 4-connected region of set pixels, measured from its runs.
struct FeatureRecord {
  std::uint32_t ID = 0;                                   // the label its runs share after merging
  std::int16_t left = 0, top = 0, right = 0, bottom = 0;  // inclusive box
  std::int16_t width = 0, height = 0;
  double area = 0;
  double perimeter = 0;                   // not computed
  double orientation = 0;                 // principal axis in degrees, [-90, 90)
  double caliperMin = 0, caliperMax = 0;  // not computed
  double aspectRatio = 0;
  double centerX = 0, centerY = 0;
  double centroidX = 0, centroidY = 0;
  std::int32_t numChords = 0;
  std::vector<Chord> chords;  // scan order: row ascending, then column
  std::uint32_t numBoundaryPoints = 0;
  // Run starts from the first chord to the last, then run ends back again.
  std::vector<BoundaryPoint> boundaryPoints;
};
