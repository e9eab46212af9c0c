// strandex: the desktop program.
#include <QApplication>
#include <vector>

#include "AppPaths.h"
#include "EventLog.h"
#include "MainWindow.h"
#include "ProgramEntry.h"
#include "QtMessageBoxProvider.h"
#include "Screenshot.h"
#include "ToolkitWrappers.h"

int main(int argc, char** argv) {
  OpenEventLog(EventLogFilePath(kWindowProgramName), SettingsFilePath());
  RouteToolkitMessagesToLog();
  // The application and its message boxes outlive the guarded body, so an
  // exception escaping the window can still be shown in a box.
  QApplication application(argc, argv);
  QtMessageBoxProvider boxes;
  ScopedMessageBoxProvider scoped(boxes);
  return RunWindowEntry([&] {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    TMainApplicationForm window(arguments);
    window.CreatePreferences();
    window.show();
    ScheduleScreenshot(window);  // pictures for the manual, when asked for
    application.exec();
  });
}
