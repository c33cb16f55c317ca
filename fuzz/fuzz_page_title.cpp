#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/web_pane.h"

// Pages come from any server the game is told about.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string page(reinterpret_cast<const char*>(data), size);
  (void)slvn::PageTitle(page);
  return 0;
}
