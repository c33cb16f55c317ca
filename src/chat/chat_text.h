#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace slvn {

// Removes the unwanted words from a received chat line, each word in one
// pass in a fixed order (so a removal may join text that earlier words then
// miss); matching is exact and case-sensitive.
std::string FilterChat(std::string_view text);

// True when the first character of `s` has a one-byte code in the code page.
bool IsNarrowChar(std::string_view s);

// Adds `text` to the end of `list` as lines of display width `width` (a
// two-byte character counts 2): a line ends at the first character that
// brings it to `width` or more. Each line starts with one blank. The text
// ends at its first NUL; an empty text adds nothing.
void AddWrappedLines(std::vector<std::string>& list, std::string_view text, int16_t width);

}  // namespace slvn
