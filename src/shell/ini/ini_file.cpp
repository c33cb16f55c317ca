#include "shell/ini/ini_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <vector>

#include "platform/text.h"

namespace slvn {

namespace {

using Lines = std::vector<std::string>;

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view s) {
  size_t b = s.find_first_not_of(kBlanks);
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(kBlanks);
  return s.substr(b, e - b + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  a = Trim(a);
  b = Trim(b);
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

// The name of a section header line, or nothing for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  size_t close = line.find(']');
  return Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
}

// The key of a key=value line; comments and lines without '=' have none.
std::optional<std::string_view> KeyOf(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';') return std::nullopt;
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, eq));
}

void Report(const std::string& path, const std::string& what) {
  std::fprintf(stderr, "slvn: %s %s\n", path.c_str(), what.c_str());
}

Lines SplitLines(std::string_view bytes) {
  Lines lines;
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    std::string line(bytes.substr(0, end));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
  }
  return lines;
}

// The file as lines. Only a file that is not there counts as empty: one that
// exists but cannot be opened or read to its end is a failure, with its reason.
struct FileRead {
  enum Outcome { kRead, kMissing, kFailed } outcome = kMissing;
  Lines lines;
  std::string why;
};

FileRead ReadWhole(const std::string& path, const classIniFile::ReadCall& read_call) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return {};
    return {FileRead::kFailed, {}, std::strerror(errno)};
  }
  std::string bytes;
  char buffer[16384];
  for (;;) {
    const ssize_t n =
        read_call ? read_call(fd, buffer, sizeof buffer) : read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      FileRead failed{FileRead::kFailed, {}, std::strerror(errno)};
      close(fd);
      return failed;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return {FileRead::kRead, SplitLines(bytes), {}};
}

std::optional<Lines> ReadLines(const std::string& path,
                               const classIniFile::ReadCall& read_call = nullptr) {
  FileRead file = ReadWhole(path, read_call);
  if (file.outcome != FileRead::kRead) return std::nullopt;
  return std::move(file.lines);
}

// Replaces the file as a whole, so a failed write leaves the old file intact.
bool WriteLines(const std::string& path, const Lines& lines) {
  std::string tmp = path + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) {
      Report(path, std::string("could not be written: ") + std::strerror(errno));
      return false;
    }
    for (const auto& line : lines) out << line << "\r\n";
    if (!out.flush()) {
      Report(path, "could not be written in full; the old file is kept");
      std::remove(tmp.c_str());
      return false;
    }
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    Report(path, std::string("could not be replaced: ") + std::strerror(errno));
    std::remove(tmp.c_str());
    return false;
  }
  return true;
}

// Reads the file whole, lets `edit` change its lines and writes them back
// when it did; a missing file is created only for `create`. The file is
// rewritten from what was read, so one not read whole is never touched.
template <typename Edit>
bool ChangeFile(const std::string& path, const classIniFile::ReadCall& read_call, bool create,
                Edit edit) {
  FileRead file = ReadWhole(path, read_call);
  if (file.outcome == FileRead::kFailed) {
    Report(path, "could not be read whole (" + file.why + "); it is kept and not changed");
    return false;
  }
  if (file.outcome == FileRead::kMissing && !create) return true;
  if (!edit(file.lines)) return true;
  return WriteLines(path, file.lines);
}

struct SectionRange {
  size_t header;  // index of the [section] line
  size_t end;     // one past its last line
};

std::optional<SectionRange> FindSection(const Lines& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    auto name = SectionOf(lines[i]);
    if (!name || !SameName(*name, section)) continue;
    size_t end = i + 1;
    while (end < lines.size() && !SectionOf(lines[end])) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> FindKey(const Lines& lines, SectionRange range, std::string_view key) {
  for (size_t i = range.header + 1; i < range.end; ++i) {
    auto k = KeyOf(lines[i]);
    if (k && SameName(*k, key)) return i;
  }
  return std::nullopt;
}

// Names and values go into the file in its code page, on one line.
std::string ForFile(std::string_view utf8) {
  std::string gb = Utf8ToGb2312(utf8);
  std::replace_if(
      gb.begin(), gb.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return gb;
}

// Cuts at the byte limit without leaving half of a two-byte character.
std::string_view CutToLimit(std::string_view gb) {
  if (gb.size() <= classIniFile::kMaxValueBytes) return gb;
  size_t n = 0;
  while (n < classIniFile::kMaxValueBytes) {
    size_t step = static_cast<unsigned char>(gb[n]) >= 0x80 ? 2 : 1;
    if (n + step > classIniFile::kMaxValueBytes) break;
    n += step;
  }
  return gb.substr(0, n);
}

// Sets one key in the lines as a write does; names and value in UTF-8.
void SetKey(Lines& lines, std::string_view strSection, std::string_view strKey,
            std::string_view strValue) {
  std::string section = ForFile(strSection), key = ForFile(strKey);
  std::string line = std::string(Trim(key)) + "=" + ForFile(strValue);
  if (auto range = FindSection(lines, section)) {
    if (auto at = FindKey(lines, *range, key)) {
      lines[*at] = line;
    } else {
      size_t insert = range->end;
      while (insert > range->header + 1 && Trim(lines[insert - 1]).empty()) --insert;
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert), line);
    }
  } else {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
    std::string header = "[";
    header.append(Trim(section));
    header += ']';
    lines.push_back(std::move(header));
    lines.push_back(line);
  }
}

}  // namespace

bool classIniFile::WriteIniKey(std::string_view strSection, std::string_view strKey,
                               std::string_view strValue) {
  return ChangeFile(path_, read_, true, [&](Lines& lines) {
    SetKey(lines, strSection, strKey, strValue);
    return true;
  });
}

bool classIniFile::WriteIniKeys(std::string_view section,
                                const std::vector<std::pair<std::string, std::string>>& keys) {
  return ChangeFile(path_, read_, true, [&](Lines& lines) {
    for (const auto& [key, value] : keys) SetKey(lines, section, key, value);
    return true;
  });
}

namespace {

// A key's value as a read returns it: trimmed, one pair of enclosing quotes
// off, at most 1023 bytes, without zero bytes, in UTF-8.
std::string ValueOfLine(const std::string& line) {
  std::string_view value = Trim(std::string_view(line).substr(line.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  std::string gb(CutToLimit(value));
  std::erase(gb, '\0');
  return Gb2312ToUtf8(Trim(gb));
}

std::string ValueOf(const Lines& lines, std::string_view strSection, std::string_view strKey) {
  std::string section = ForFile(strSection), key = ForFile(strKey);
  auto range = FindSection(lines, section);
  if (!range) return "";
  auto at = FindKey(lines, *range, key);
  if (!at) return "";
  return ValueOfLine(lines[*at]);
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

std::string classIniFile::GetIniKey(std::string_view strSection, std::string_view strKey) const {
  auto lines = ReadLines(path_, read_);
  if (!lines) return "";
  return ValueOf(*lines, strSection, strKey);
}

IniSnapshot::IniSnapshot(const std::string& path) : lines_(ReadLines(path)) {}

std::string IniSnapshot::GetIniKey(std::string_view strSection, std::string_view strKey) const {
  return lines_ ? ValueOf(*lines_, strSection, strKey) : "";
}

std::map<std::string, std::string> IniSnapshot::SectionValues(std::string_view strSection) const {
  std::map<std::string, std::string> values;
  if (!lines_) return values;
  auto range = FindSection(*lines_, ForFile(strSection));
  if (!range) return values;
  for (size_t i = range->header + 1; i < range->end; ++i)
    if (auto key = KeyOf((*lines_)[i]))
      values.try_emplace(Lower(Gb2312ToUtf8(*key)), ValueOfLine((*lines_)[i]));
  return values;
}

bool classIniFile::DelIniKey(std::string_view SectionName, std::string_view KeyWord) {
  return ChangeFile(path_, read_, false, [&](Lines& lines) {
    auto range = FindSection(lines, ForFile(SectionName));
    if (!range) return false;
    auto at = FindKey(lines, *range, ForFile(KeyWord));
    if (!at) return false;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*at));
    return true;
  });
}

bool classIniFile::DelIniSec(std::string_view SectionName) {
  return ChangeFile(path_, read_, false, [&](Lines& lines) {
    auto range = FindSection(lines, ForFile(SectionName));
    if (!range) return false;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                lines.begin() + static_cast<std::ptrdiff_t>(range->end));
    return true;
  });
}

}  // namespace slvn
