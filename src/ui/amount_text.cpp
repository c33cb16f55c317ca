#include "ui/amount_text.h"

#include <cmath>
#include <cstdio>

namespace slvn {

std::string FormatAmount(double value) {
  if (!std::isfinite(value)) return "0";
  char text[400];  // the largest double has 309 digits
  std::snprintf(text, sizeof text, "%.0f", value);
  return std::string(text) == "-0" ? "0" : text;
}

}  // namespace slvn
