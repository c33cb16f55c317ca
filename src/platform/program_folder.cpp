#include "platform/program_folder.h"

#include <filesystem>
#include <system_error>

namespace slvn {

std::string ProgramFolder() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !exe.has_parent_path()) return ".";
  return exe.parent_path().string();
}

}  // namespace slvn
