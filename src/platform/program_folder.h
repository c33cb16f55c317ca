#pragma once

#include <string>

namespace slvn {

// The folder that holds the running program, without a trailing '/'; "."
// when it cannot be found.
std::string ProgramFolder();

}  // namespace slvn
