#pragma once

#include <string>

namespace slvn {

// The folder that holds the running program, without a trailing '/'; "."
// when it cannot be found.
std::string ProgramFolder();

// Whether `folder` holds a file named exactly `file_name` (letter case counts).
bool FolderListsFile(const std::string& folder, const std::string& file_name);

}  // namespace slvn
