// strandex: the desktop program.
#include <QApplication>
#include <exception>
#include <vector>

#include "AppPaths.h"
#include "EventLog.h"
#include "MainWindow.h"
#include "QtMessageBoxProvider.h"
#include "Screenshot.h"
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
    ScheduleScreenshot(window);  // pictures for the manual, when asked for
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
