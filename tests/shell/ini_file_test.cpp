#include "shell/ini/ini_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "support/temp_dir.h"

namespace slvn {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

class IniFileTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  classIniFile ini;
  std::string path = dir.File("vidiosetting.ini");
  void SetUp() override { ini.INIFileName(path); }
};

TEST_F(IniFileTest, MissingFileOrKeyReadsEmptyAndCreatesNothing) {
  EXPECT_EQ(ini.GetIniKey("vidiosetting", "vidiovalue"), "");
  ini.DelIniKey("vidiosetting", "vidiovalue");
  ini.DelIniSec("vidiosetting");
  EXPECT_FALSE(std::filesystem::exists(path));

  ini.WriteIniKey("vidiosetting", "vidiovalue", "1");
  EXPECT_EQ(ReadFileBytes(path), "[vidiosetting]\r\nvidiovalue=1\r\n");
  EXPECT_EQ(ini.GetIniKey("vidiosetting", "other"), "");
  EXPECT_EQ(ini.GetIniKey("other", "vidiovalue"), "");
}

TEST_F(IniFileTest, FindsKeysWithoutCaseAndTrimsTheirValues) {
  WriteFileBytes(path,
                 "top=ignored\n"
                 "[Phrase1]\r\n"
                 "; a comment=no\n"
                 "num = 2 \n"
                 "1=   leading blanks\n"
                 "2=\"quoted\"\n"
                 "empty=\n"
                 "cn=\xC4\xE3\xBA\xC3\n"
                 "[phrase1]\n"
                 "num=shadowed\n"
                 "[Next]\n"
                 "num=9\n");
  struct Case {
    const char *section, *key, *value;
  } cases[] = {
      {"Phrase1", "num", "2"},
      {"PHRASE1", " NUM ", "2"},  // names match without case or blanks
      {"Phrase1", "1", "leading blanks"},
      {"Phrase1", "2", "quoted"},
      {"Phrase1", "empty", ""},
      {"Phrase1", "cn", "你好"},  // GB2312 in the file, UTF-8 here
      {"Phrase1", "a comment", ""},
      {"Next", "num", "9"},
      {"", "top", ""},  // keys before any section belong to none
  };
  for (const auto& c : cases) EXPECT_EQ(ini.GetIniKey(c.section, c.key), c.value) << c.key;
}

TEST_F(IniFileTest, LongValuesComeBackCutTo1023Bytes) {
  ini.WriteIniKey("s", "ascii", std::string(1500, 'x'));
  EXPECT_EQ(ini.GetIniKey("s", "ascii"), std::string(1023, 'x'));
  std::string chinese;
  for (int i = 0; i < 600; ++i) chinese += "中";  // 1200 bytes in the file
  ini.WriteIniKey("s", "cn", chinese);
  std::string back = ini.GetIniKey("s", "cn");
  std::string want;
  for (int i = 0; i < 511; ++i) want += "中";  // never half a character
  EXPECT_EQ(back, want);
}

TEST_F(IniFileTest, RewriteKeepsOtherKeysAndSections) {
  ini.WriteIniKey("juNum:1", "name", "一");
  ini.WriteIniKey("juNum:1", "score", "10");
  ini.WriteIniKey("juNum:2", "name", "二");
  ini.WriteIniKey("JUNUM:1", "Name", "三");      // same key, other case
  ini.WriteIniKey("juNum:1", "note", "a\r\nb");  // stays on one line
  EXPECT_EQ(ini.GetIniKey("juNum:1", "name"), "三");
  EXPECT_EQ(ini.GetIniKey("juNum:1", "score"), "10");
  EXPECT_EQ(ini.GetIniKey("juNum:1", "note"), "a  b");
  EXPECT_EQ(ini.GetIniKey("juNum:2", "name"), "二");

  ini.DelIniKey("juNum:1", "score");
  EXPECT_EQ(ini.GetIniKey("juNum:1", "score"), "");
  EXPECT_EQ(ini.GetIniKey("juNum:1", "name"), "三");

  ini.DelIniSec("juNum:1");
  EXPECT_EQ(ini.GetIniKey("juNum:1", "name"), "");
  EXPECT_EQ(ini.GetIniKey("juNum:2", "name"), "二");
}

TEST_F(IniFileTest, TheLastNamedFileIsTheOneUsed) {
  ini.WriteIniKey("s", "k", "first");
  std::string other = dir.File("chat.ini");
  ini.INIFileName(other);
  EXPECT_EQ(ini.INIFileName(), other);
  EXPECT_EQ(ini.GetIniKey("s", "k"), "");
  ini.INIFileName(path);
  EXPECT_EQ(ini.GetIniKey("s", "k"), "first");
}

TEST_F(IniFileTest, UnwritableFolderLosesTheWrite) {
  ini.INIFileName(dir.File("no/such/folder/x.ini"));
  EXPECT_FALSE(ini.WriteIniKey("s", "k", "v"));
  EXPECT_EQ(ini.GetIniKey("s", "k"), "");
}

// A change rewrites the whole file, so one that exists but cannot be read
// whole is never rewritten: the change fails and the old file stays.
TEST_F(IniFileTest, AFileThatCannotBeReadWholeIsKept) {
  namespace fs = std::filesystem;
  const std::string record = "[juNum:1]\r\nname0=a\r\ncount0=2\r\n\r\n[juNum:2]\r\nname0=b\r\n";
  // Gives the first 16 bytes, then fails as a disk that went bad would.
  const classIniFile::ReadCall fails_part_way = [](int fd, void* buffer, size_t size) -> ssize_t {
    if (lseek(fd, 0, SEEK_CUR) > 0) {
      errno = EIO;
      return -1;
    }
    return read(fd, buffer, std::min<size_t>(size, 16));
  };
  struct Case {
    const char* name;
    std::function<void()> make;  // puts the unreadable file in place
    classIniFile::ReadCall read;
    std::function<bool()> kept;
  } cases[] = {
      {"a read that fails part way", [&] { WriteFileBytes(path, record); }, fails_part_way,
       [&] { return ReadFileBytes(path) == record; }},
      {"a folder in its place",
       [&] {
         fs::create_directory(path);
         WriteFileBytes(path + "/inside", record);
       },
       nullptr,
       [&] { return fs::is_directory(path) && ReadFileBytes(path + "/inside") == record; }},
      {"a link that cannot be opened (a loop)", [&] { fs::create_symlink(path, path); }, nullptr,
       [&] { return fs::is_symlink(path) && fs::read_symlink(path) == path; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(path);
    c.make();
    classIniFile file;
    file.INIFileName(path);
    file.SetReadCall(c.read);
    EXPECT_EQ(file.GetIniKey("juNum:1", "name0"), "");  // unreadable reads empty
    EXPECT_FALSE(file.WriteIniKey("vidiosetting", "newkey", "1"));
    EXPECT_FALSE(file.WriteIniKeys("juNum:3", {{"name0", "c"}}));
    EXPECT_FALSE(file.DelIniKey("juNum:1", "count0"));
    EXPECT_FALSE(file.DelIniSec("juNum:2"));
    EXPECT_TRUE(c.kept());
    EXPECT_FALSE(fs::exists(path + ".tmp"));
  }
  fs::remove_all(path);
}

}  // namespace
}  // namespace slvn
