#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QThread>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "AppPaths.h"
#include "BitmapImage.h"
#include "ImageBrowser.h"
#include "InterfaceThreadBoxes.h"
#include "MainWindow.h"
#include "SyntheticField.h"
#include "TestSupport.h"
#include "ToolkitWrappers.h"

namespace testing_support {

// Records, with each box, whether it was shown on the interface thread.
class ThreadRecordingBoxes : public RecordingMessageBoxProvider {
 public:
  void ShowError(const std::string& text, const std::string& caption) override {
    onInterfaceThread.push_back(QThread::currentThread() == qApp->thread());
    RecordingMessageBoxProvider::ShowError(text, caption);
  }
  int AskYesNo(const std::string& text, const std::string& caption) override {
    onInterfaceThread.push_back(QThread::currentThread() == qApp->thread());
    return RecordingMessageBoxProvider::AskYesNo(text, caption);
  }
  std::vector<bool> onInterfaceThread;
};

// The real main window over a private home, with scripted dialogs and
// message-box answers, and fields of view to open.
class WindowTest : public ::testing::Test {
 protected:
  std::unique_ptr<TMainApplicationForm> Start(const std::vector<std::string>& arguments = {}) {
    auto window = std::make_unique<TMainApplicationForm>(arguments);
    PathChooser chooser;
    chooser.file = [this](QWidget*) { return chosenFile_; };
    chooser.folder = [this](QWidget*) { return chosenFolder_; };
    window->SetPathChooser(chooser);
    return window;
  }

  // Synthetic fields of view: PNG, BMP and JPEG in turn.
  std::vector<std::string> MakeFields(const std::string& folder, int count, int width = 640,
                                      int height = 480) {
    std::filesystem::create_directories(folder);
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
      SyntheticField field = MakeSyntheticField(width, height, 300 + i);
      const std::string base = folder + "/field" + std::to_string(i);
      if (i % 3 == 0) {
        EXPECT_TRUE(SaveRasterAsPng(*field.image, base + ".png"));
        paths.push_back(base + ".png");
      } else if (i % 3 == 1) {
        EXPECT_TRUE(field.image->SaveToFile(base + ".bmp"));
        paths.push_back(base + ".bmp");
      } else {
        TJPEGImage* jpeg = TJPEGImage_CreateFromImage(*field.image, 92);
        EXPECT_TRUE(TJPEGImage_SaveToFile(jpeg, base + ".jpg"));
        TJPEGImage_Destroy(jpeg);
        paths.push_back(base + ".jpg");
      }
    }
    return paths;
  }

  // Runs a command and waits for the scoring it starts.
  void Score(TMainApplicationForm& window, int cutoff = 40) {
    window.ThresholdBar()->setValue(cutoff);
    window.Command("ScoreUsingCutoffButton")->trigger();
    window.WaitForScoring();
  }

  TempDir home_;
  TempDir images_;
  ScopedEnv env_{"STRANDEX_HOME", home_.Path().c_str()};
  ScopedEnv trash_{"XDG_DATA_HOME", (home_.Path() + "/data").c_str()};
  ThreadRecordingBoxes boxes_;
  InterfaceThreadBoxes marshalled_{boxes_};
  ScopedMessageBoxProvider scoped_{marshalled_};
  std::optional<std::string> chosenFile_;
  std::optional<std::string> chosenFolder_;
};

}  // namespace testing_support
