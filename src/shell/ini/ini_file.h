#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace slvn {

// Settings and records in INI files (sections in brackets, key=value lines),
// read and written by section and key: section and key
// names match without regard to case or surrounding blanks, a missing file,
// section or key reads as "", and the first write creates the file. Names and
// values are UTF-8 here and code page 936 in the file. An unreadable file
// reads empty. A change rewrites the whole file, so it is made only from a
// file read whole (or one that does not exist): a file that exists but cannot
// be read, or whose read fails part way, is kept as it is, and the change
// fails. A failed change returns false and says why on stderr; the callers
// go on without it.
class classIniFile {
 public:
  // Longest value a read returns, in bytes of the file's code page.
  static constexpr size_t kMaxValueBytes = 1023;
  // How the file's bytes are read: read(2), unless a test puts a reader that
  // fails in its place.
  using ReadCall = std::function<ssize_t(int fd, void* buffer, size_t size)>;

  void INIFileName(std::string path) { path_ = std::move(path); }
  const std::string& INIFileName() const { return path_; }

  bool WriteIniKey(std::string_view strSection, std::string_view strKey, std::string_view strValue);
  std::string GetIniKey(std::string_view strSection, std::string_view strKey) const;
  bool DelIniKey(std::string_view SectionName, std::string_view KeyWord);
  bool DelIniSec(std::string_view SectionName);

  // Many keys of one section in a single rewrite of the file, in order, as
  // WriteIniKey would write them one by one.
  bool WriteIniKeys(std::string_view section,
                    const std::vector<std::pair<std::string, std::string>>& keys);

  void SetReadCall(ReadCall call) { read_ = std::move(call); }

 private:
  std::string path_;
  ReadCall read_;
};

// One reading of an INI file, answering reads as classIniFile does: for a
// file read once at start and never again.
class IniSnapshot {
 public:
  explicit IniSnapshot(const std::string& path);
  // Whether the file could be read.
  bool Read() const { return lines_.has_value(); }
  std::string GetIniKey(std::string_view strSection, std::string_view strKey) const;
  // Every key of the section with its value as GetIniKey reads it, by the
  // key's name in lower case (the first of equal names counts).
  std::map<std::string, std::string> SectionValues(std::string_view strSection) const;

 private:
  std::optional<std::vector<std::string>> lines_;
};

}  // namespace slvn
