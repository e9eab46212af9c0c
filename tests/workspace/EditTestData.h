#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "CometMetrics.h"
#include "ImagePaths.h"
#include "MessageBox.h"
#include "ScoringWorkspace.h"
#include "SyntheticField.h"
#include "TestSupport.h"
#include "ToolkitWrappers.h"

namespace testing_support {

// A synthetic 640 x 480 field saved as PNG in `folder` and scored at
// cutoff 40; its path.
inline std::string ScoredField(const std::string& folder, const std::string& name,
                               std::uint32_t seed) {
  std::filesystem::create_directories(folder);
  SyntheticField field = MakeSyntheticField(640, 480, seed);
  const std::string path = folder + "/" + name + ".png";
  EXPECT_TRUE(SaveRasterAsPng(*field.image, path));
  ScoringWorkspace workspace;
  EXPECT_TRUE(workspace.SelectImage(path));
  EXPECT_EQ(workspace.ScoreSelectedImageUsingCutoff(40, false), ScoreOutcome::kScored);
  return path;
}

// A test with a folder of its own, a trash of its own and scripted
// message boxes.
class EditingTest : public ::testing::Test {
 protected:
  TempDir dir_;
  TempDir data_;
  ScopedEnv trash_{"XDG_DATA_HOME", data_.Path().c_str()};
  RecordingMessageBoxProvider boxes_;
  ScopedMessageBoxProvider scoped_{boxes_};
};

}  // namespace testing_support
