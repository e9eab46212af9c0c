// strandex-cli: the headless front end.
#include <iostream>

#include "AppPaths.h"
#include "EventLog.h"
#include "FileVersion.h"

int main() {
  const std::string logPath = EventLogFilePath();
  OpenEventLog(logPath, SettingsFilePath());
  LogMessage("entering main()...");
  std::cout << "Strandex " << ProgramVersionString() << "\n";
  std::cout << "Event log: " << logPath << "\n";
  std::cout << "Settings:  " << SettingsFilePath() << "\n";
  LogMessage("exiting  main(0)...");
  return 0;
}
