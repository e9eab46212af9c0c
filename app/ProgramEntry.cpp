#include "ProgramEntry.h"

#include <exception>
#include <string>

#include "EventLog.h"
#include "MessageBox.h"
#include "AppPaths.h"

int RunWindowEntry(const std::function<void()>& body) {
  LogMessage(GetApplicationTitle() + " initialized normally.");
  LogMessage("");
  LogMessage("entering WinMain()...");
  try {
    body();
  } catch (const std::exception& e) {
    LogMessage(std::string("ERROR: WinMain() caught ") + e.what() + "...");
    ShowErrorBox(e.what(), GetApplicationTitle());
  } catch (...) {
    LogMessage("ERROR: WinMain() caught ...");
    ShowErrorBox("", GetApplicationTitle());
  }
  LogMessage("exiting  WinMain()...");
  LogMessage("");
  LogMessage(GetApplicationTitle() + " terminated normally.");
  return 0;
}
