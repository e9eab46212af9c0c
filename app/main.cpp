// strandex: the desktop program.
#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <exception>
#include <vector>

#include "AppPaths.h"
#include "EventLog.h"
#include "MainWindow.h"
#include "QtMessageBoxProvider.h"
#include "ToolkitWrappers.h"

int main(int argc, char** argv) {
  OpenEventLog(EventLogFilePath(kWindowProgramName), SettingsFilePath());
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
    // For documentation: STRANDEX_SCREENSHOT=out.png (with
    // STRANDEX_SCREENSHOT_IMAGE=picture) saves the window and ends.
    if (const char* shot = std::getenv("STRANDEX_SCREENSHOT"); shot != nullptr && *shot != '\0') {
      if (const char* picture = std::getenv("STRANDEX_SCREENSHOT_IMAGE"))
        window.LoadImageIntoWorkspace(picture);
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
