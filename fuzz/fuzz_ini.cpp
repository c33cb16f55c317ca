// An INI file of arbitrary bytes: every read and write must stay in bounds
// and leave a file that reads back what was written.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "shell/ini/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/slvn-fuzz-ini-" + std::to_string(getpid()) + ".ini";
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  slvn::classIniFile ini;
  ini.INIFileName(path);
  for (const char* section : {"Phrase1", "vidiosetting", ""})
    for (const char* key : {"num", "1", "vidiovalue"}) ini.GetIniKey(section, key);
  ini.WriteIniKey("Phrase1", "num", "7");
  if (ini.GetIniKey("Phrase1", "num") != "7") __builtin_trap();
  ini.DelIniKey("Phrase1", "1");
  ini.DelIniSec("vidiosetting");
  std::remove(path.c_str());
  return 0;
}
