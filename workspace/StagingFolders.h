#pragma once

#include <string>

// A scoring run writes an image's new results into a staging folder beside
// its result folder F/B/, named F/B.scoring-XXXXXX, and moves it in place only
// when everything is on disk. The folder holds a marker file naming the
// process and computer that made it, so a later run can tell a staging
// folder left by a killed run from one still being written.

// Makes the staging folder for a result folder (given without its trailing
// '/'). `staging` receives its path ending with '/'; on failure `error` says
// why.
bool MakeStagingFolder(const std::string& resultFolder, std::string& staging, std::string& error);

// Drops the marker of a staging folder that has become the result folder.
void ForgetStagingMarker(const std::string& resultFolder);

// Moves to the trash the staging folders of this result folder that were
// left by runs no longer alive: those with our marker whose process is gone
// from this computer, or whose marker is more than a day old. Folders of
// that name without our marker are left alone.
void RemoveStaleStagingFolders(const std::string& resultFolder);

// Whether a file name has the form of a staging folder ("B.scoring-XXXXXX").
bool IsStagingFolderName(const std::string& name);
