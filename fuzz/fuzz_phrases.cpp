// A chat.ini of arbitrary bytes: both phrase lists are read from one reading
// of the file; a count past the keys gives empty phrases, never a read
// outside the file's lines.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "chat/huifu.h"
#include "shell/ini/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/slvn-fuzz-phrases-" + std::to_string(getpid()) + ".ini";
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  const slvn::IniSnapshot ini(path);
  for (const char* section : {"Phrase1", "Phrase2"}) {
    const auto phrases = slvn::ReadPhraseList(ini, section);
    const int count = slvn::PhraseCount(ini.GetIniKey(section, "num"));
    if (static_cast<int>(phrases.size()) != (count > 0 ? count : 0)) __builtin_trap();
  }
  std::remove(path.c_str());
  return 0;
}
