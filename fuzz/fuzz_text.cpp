// Arbitrary bytes as a GB2312 text, and the same bytes as UTF-8.
#include <cstdint>
#include <string>

#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string utf8 = slvn::Gb2312ToUtf8(bytes);
  // Whatever came in, what comes out encodes again and counts consistently.
  std::string back = slvn::Utf8ToGb2312(utf8);
  if (slvn::CharLength(utf8) > slvn::DisplayWidth(utf8)) __builtin_trap();
  slvn::Utf8ToGb2312(bytes);
  slvn::CharLeft(bytes, size / 2);
  return 0;
}
