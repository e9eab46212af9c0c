#pragma once

#include <string>

// Where the program keeps its settings file and event log.
//
// Both live in one folder: the folder named by the environment variable
// STRANDEX_HOME when it is set; else the executable's folder when it is
// writable; else the user's XDG folders ($XDG_CONFIG_HOME/strandex for the
// settings, $XDG_STATE_HOME/strandex for the log). The file names are
// "strandex.ini" and "strandex.log" for every front end, so the window and
// the command line share their settings.

// Full path of the running executable.
std::string ExecutablePath();

std::string SettingsFilePath();
std::string EventLogFilePath();

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
