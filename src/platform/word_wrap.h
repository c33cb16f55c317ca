#pragma once

#include <functional>
#include <string>
#include <vector>

namespace slvn {

// Breaks a caption into lines no wider than `width` the way a label does:
// at line breaks (CR LF, LF or CR), after blanks and between East Asian
// characters; never inside a word. A word wider than the line stands alone
// on its line (the label clips it). `measure` gives a text's width in pixels.
std::vector<std::string> WrapWords(const std::string& text, int width,
                                   const std::function<int(const std::string&)>& measure);

}  // namespace slvn
