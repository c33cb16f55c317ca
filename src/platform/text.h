#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace slvn {

// Texts the player sees travel as code page 936 (GB2312) on the wire and in
// INI files; inside the program they are UTF-8. Bytes that are not valid
// become U+FFFD, never a crash.
std::string Gb2312ToUtf8(std::string_view gb);
// Characters that have no GB code become '?'.
std::string Utf8ToGb2312(std::string_view utf8);

// Counting in characters, as the game's texts are measured (a Chinese
// character is one). Invalid UTF-8 bytes count one each.
size_t CharLength(std::string_view utf8);
std::string CharLeft(std::string_view utf8, size_t count);
// Replaces the first occurrence of `find` (no change when it is empty or absent).
std::string ReplaceFirst(std::string_view text, std::string_view find, std::string_view with);
// Display width: ASCII counts 1, every other character 2 (a two-byte
// character of the code page takes two columns).
size_t DisplayWidth(std::string_view utf8);

}  // namespace slvn
