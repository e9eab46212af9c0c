#pragma once

#include <string>

// Where the programs keep their settings file and event logs.
//
// There is one settings file, the window's "strandex.ini", which the command
// line reads too. Its folder is the one named by the environment variable
// STRANDEX_HOME when that is set; else the folder of the window program
// "strandex" (the running executable's own folder when it holds the window,
// else its sibling folder "../app", as in the build tree) when that folder is
// writable; else, when no window is found beside the executable, the
// executable's own folder when writable; else $XDG_CONFIG_HOME/strandex.
//
// Each program keeps its own event log, named after it ("strandex.log",
// "strandex-cli.log"): in STRANDEX_HOME when set; else in the executable's
// folder when writable; else in $XDG_STATE_HOME/strandex.
//
// An installed program (in a folder "bin" beside "share/doc/strandex")
// never counts its folder as writable: its settings and logs are in the
// XDG folders.

// The window program's name: its executable and its settings file's stem.
inline constexpr const char* kWindowProgramName = "strandex";

// Full path of the running executable.
std::string ExecutablePath();

// The settings file as seen from the running executable.
std::string SettingsFilePath();
// The settings folder as seen from an executable at `executablePath` (the
// rules above without STRANDEX_HOME).
std::string SettingsFolderFor(const std::string& executablePath);

// The event log of the program named `program`.
std::string EventLogFilePath(const std::string& program);
// The log folder of an executable at `executablePath` (without STRANDEX_HOME).
std::string EventLogFolderFor(const std::string& executablePath);

// The application's title as the event log header shows it: the executable's
// name until the main window sets its own.
std::string GetApplicationTitle();
void SetApplicationTitle(const std::string& title);

// Path helpers on '/'-separated paths.
std::string FileNameOf(const std::string& path);       // after the last '/'
std::string FolderOf(const std::string& path);         // up to, without, the last '/'
std::string RemoveExtension(const std::string& path);  // drops the file name's last ".xxx"

// Creates the folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& folder);
