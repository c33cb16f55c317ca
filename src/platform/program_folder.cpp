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

bool FolderListsFile(const std::string& folder, const std::string& file_name) {
  if (file_name.empty() || file_name.find('/') != std::string::npos) return false;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().filename() == file_name) return entry.is_regular_file(error);
  }
  return false;
}

}  // namespace slvn
