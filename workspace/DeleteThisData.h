#pragma once

#include <string>
#include <vector>

// "Delete This Data": the stored results of an image, or of every image of
// a folder, go to the desktop trash (never deleted outright); the images
// themselves stay.
enum class DeleteOutcome {
  kDeleted,   // every result folder went to the trash (none there is also this)
  kDeclined,  // the user said no: nothing moved
  kFailed,    // the trash cannot be reached (nothing moved) or some folder did not go
};

struct DeleteReport {
  DeleteOutcome outcome = DeleteOutcome::kFailed;
  std::vector<std::string> moved;  // result folders now in the trash
  std::string message;             // what failed; empty otherwise
};

// Asks "Delete all data for this image?" and moves the image's result
// folder (the image path without its extension, when it holds the
// image's ".cdb") to the trash. Results that are another image's (same
// name, another extension) are left where they are, and that is reported.
DeleteReport DeleteImageData(const std::string& imagePath);

// Asks "Delete all data this folder?" and moves to the trash every
// sub-folder S of the folder that holds "S.cdb"; other sub-folders stay.
DeleteReport DeleteFolderData(const std::string& folder);
