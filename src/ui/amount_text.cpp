#include "ui/amount_text.h"

#include <charconv>
#include <cmath>

namespace slvn {

std::string FormatAmount(double value) {
  if (!std::isfinite(value) || value == 0) return "0";  // also -0
  char text[512];  // 309 digits before the point at most, 327 after it
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed).ptr;
  return std::string(text, end);
}

}  // namespace slvn
