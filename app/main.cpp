// strandex: the desktop program.
#include <QAction>
#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <exception>
#include <vector>

#include "AppPaths.h"
#include "EventLog.h"
#include "ImageBrowser.h"
#include "MainWindow.h"
#include "QtMessageBoxProvider.h"
#include "ToolkitWrappers.h"

int main(int argc, char** argv) {
  OpenEventLog(EventLogFilePath(), SettingsFilePath());
  LogMessage(GetApplicationTitle() + " initialized normally.");
  LogMessage("");
  LogMessage("entering WinMain()...");
  RouteToolkitMessagesToLog();
  try {
    QApplication application(argc, argv);
    QtMessageBoxProvider boxes;
    ScopedMessageBoxProvider scoped(boxes);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    TMainApplicationForm window(arguments);
    window.CreatePreferences();
    window.show();
    // For documentation: STRANDEX_SCREENSHOT=out.png saves the window and
    // ends; with STRANDEX_SCREENSHOT_IMAGE=picture the picture's folder is
    // opened (and scored first with STRANDEX_SCREENSHOT_SCORE=1) and the
    // picture selected.
    if (const char* shot = std::getenv("STRANDEX_SCREENSHOT"); shot != nullptr && *shot != '\0') {
      if (const char* picture = std::getenv("STRANDEX_SCREENSHOT_IMAGE")) {
        window.OpenFolder(FolderOf(picture));
        if (const char* score = std::getenv("STRANDEX_SCREENSHOT_SCORE"); score && *score == '1') {
          window.Command("ScoreUsingCutoffButton")->trigger();
          window.WaitForScoring();
        }
        window.DirTreeView()->SelectImageNamed(FileNameOf(picture));
      }
      QTimer::singleShot(300, &window, [&window, shot] {
        window.grab().save(shot);
        window.close();
      });
    }
    application.exec();
  } catch (const std::exception& e) {
    LogMessage(std::string("ERROR: WinMain() caught ") + e.what() + "...");
    ShowErrorBox(e.what(), GetApplicationTitle());
  } catch (...) {
    LogMessage("ERROR: WinMain() caught ...");
  }
  LogMessage("exiting  WinMain()...");
  LogMessage("");
  LogMessage(GetApplicationTitle() + " terminated normally.");
  return 0;
}
