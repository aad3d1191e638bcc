// Inputs a user may hand the converter by mistake, written from the generated clips: damaged,
// mislabelled and unreadable files, and good clips under awkward names.
#pragma once

#include <string>
#include <vector>

namespace brenvale::testing {

struct BadInput {
    std::string label;  // what is wrong with it
    std::string path;
    bool converts = false;  // the libraries read it anyway: by its content, or as far as it goes
};

// Writes them into `folder` (created when missing). The standard clips must exist.
std::vector<BadInput> WriteBadInputs(const std::string& folder);
// Copies of a short video clip whose names hold spaces, quotes, a line feed and non-ASCII
// letters; every one converts. `converts` is true for all.
std::vector<BadInput> WriteAwkwardlyNamedInputs(const std::string& folder);
// A small raw-video AVI whose headers claim a 30000x30000 picture.
void WriteAbsurdSizeClip(const std::string& path);

// Takes every permission away; false when this process can still read the file (root).
bool MakeUnreadable(const std::string& path);
// Makes a folder refuse new files: mode 0555, and the immutable flag when the mode alone does
// not stop this process (root). False when neither works. MakeWritable undoes both.
bool MakeReadOnly(const std::string& folder);
void MakeWritable(const std::string& folder);
// A device that refuses every write with "No space left on device": /dev/full where it does
// (some sandboxes put a device that takes the bytes there), else one made in `folder` (root).
// Empty when neither is to be had.
std::string FullDevice(const std::string& folder);

}  // namespace brenvale::testing
