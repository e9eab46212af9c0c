#pragma once

#include <string>

// Moves a file or a whole folder into the user's trash
// ($XDG_DATA_HOME/Trash, else ~/.local/share/Trash) with a ".trashinfo"
// record, so the user can restore it; nothing is ever deleted outright.
// A name already in the trash gets ".2", ".3", ... before its extension.
// Across file systems the item is copied whole first and the original
// removed only after the copy is complete. Returns true on success; on
// failure logs an ERROR line with the message of the failure's code and
// leaves the original in place. `silent` is kept for the trace: no
// confirmation is ever asked.
bool AnsiString_RecycleFile(const std::string& path, bool silent);

// The failure code of moving `path` to the trash (0 on success). With a
// `restorePath`, the item is recorded under that name and place instead of
// its own: it was moved there from `restorePath` just before. `trashed`
// receives where the item now lies in the trash.
int MoveToTrash(const std::string& path, const std::string& restorePath = "",
                std::string* trashed = nullptr);

// The message for a failure code of the recycle operation.
std::string RecycleErrorMessage(int code);

// The user's trash folder.
std::string TrashFolder();

// Whether items can be moved to the trash: its "files" and "info" folders
// exist (they are made when missing) and can be written.
bool TrashIsReachable();
