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

// The old results leave their place by one rename, so that the new ones can
// take it by one more: the result folder (given without its trailing '/')
// is marked as ours and renamed to a staging name beside it, which
// `aside` receives. A run killed between the two renames leaves both
// folders to the next run's clean-up, which moves them to the trash.
bool SetResultsAside(const std::string& resultFolder, std::string& aside, std::string& error);

// Puts results set aside back in their place (the new ones could not take it).
bool PutResultsBack(const std::string& aside, const std::string& resultFolder);

// Moves results set aside to the trash, recorded under the result folder's
// name and place so that restoring them puts them where they were.
bool TrashResultsSetAside(const std::string& aside, const std::string& resultFolder);

// Moves to the trash the staging folders of this result folder that were
// left by runs no longer alive: those with our marker whose process is gone
// from this computer, or whose marker is more than a day old. Folders of
// that name without our marker are left alone.
void RemoveStaleStagingFolders(const std::string& resultFolder);

// Whether a file name has the form of a staging folder ("B.scoring-XXXXXX").
bool IsStagingFolderName(const std::string& name);
