// strandex-cli: the program's work without a window.
#include <csignal>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "AppPaths.h"
#include "CliSupport.h"
#include "Commands.h"
#include "EventLog.h"
#include "FileVersion.h"
#include "ToolkitWrappers.h"

namespace {

// The command line keeps its own event log; it reads the window's settings.
const char* const kProgramName = "strandex-cli";

const char* const kHelp =
    "usage: strandex-cli COMMAND [options]   (COMMAND --help for more)\n"
    "\n"
    "  score PATH...   find, measure and store the comets of images or folders\n"
    "  summary PATH    the comets of an image or folder, metric by metric\n"
    "  export PATH     tab-delimited files of the comets for a spreadsheet\n"
    "  synth           write synthetic fields of view to try the program on\n"
    "  version         the program's version, its event log and the settings file\n"
    "                  (the window's, which the command line reads too)\n";

}  // namespace

int main(int argc, char** argv) {
  // A file that may grow no further fails its write instead of ending us.
  std::signal(SIGXFSZ, SIG_IGN);
  OpenEventLog(EventLogFilePath(kProgramName), SettingsFilePath());
  RouteToolkitMessagesToLog();
  LogMessage("entering main()...");
  std::vector<std::string> args(argv + 1, argv + argc);
  int status = 0;
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::cout << kHelp;
    status = args.empty() ? 2 : 0;
  } else {
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "score")
      status = ScoreCommand(args);
    else if (command == "summary")
      status = SummaryCommand(args);
    else if (command == "export")
      status = ExportCommand(args);
    else if (command == "synth")
      status = SynthCommand(args);
    else if (command == "version") {
      std::cout << "Strandex " << ProgramVersionString() << "\n"
                << "Event log: " << EventLogFilePath(kProgramName) << "\n"
                << "Settings:  " << SettingsFilePath() << "\n";
    } else {
      status = Fail("unknown command \"" + command + "\" (see strandex-cli --help)");
    }
  }
  LogMessage("exiting  main(" + std::to_string(status) + ")...");
  return status;
}
