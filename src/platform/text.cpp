#include "platform/text.h"

#include <iconv.h>

#include <cerrno>

namespace slvn {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// One iconv descriptor for the length of one conversion: no state is kept
// between calls.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as it can; stops at an invalid or incomplete sequence,
  // leaving `in` there. Returns false only on an unexpected failure.
  bool Run(std::string_view& in, std::string& out) {
    char buffer[256];
    while (!in.empty()) {
      char* src = const_cast<char*>(in.data());
      size_t src_left = in.size();
      char* dst = buffer;
      size_t dst_left = sizeof buffer;
      size_t r = iconv(cd_, &src, &src_left, &dst, &dst_left);
      out.append(buffer, dst - buffer);
      in.remove_prefix(in.size() - src_left);
      if (r != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      return errno == EILSEQ || errno == EINVAL;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

// Length of the UTF-8 sequence starting at s[i], 1 for an invalid byte.
size_t Utf8SequenceLength(std::string_view s, size_t i) {
  auto b = static_cast<unsigned char>(s[i]);
  size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 1;
  if (i + n > s.size()) return 1;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  return n;
}

}  // namespace

std::string Gb2312ToUtf8(std::string_view gb) {
  std::string out;
  out.reserve(gb.size() * 3 / 2);
  Converter conv("UTF-8", "CP936");
  if (!conv.ok()) {
    for (unsigned char c : gb)
      out += c < 0x80 ? std::string(1, static_cast<char>(c)) : kReplacement;
    return out;
  }
  while (!gb.empty()) {
    if (!conv.Run(gb, out)) break;
    if (gb.empty()) break;
    // An invalid or cut-off character: one replacement, then go on after its
    // first byte so a valid character right behind it is not lost.
    out += kReplacement;
    gb.remove_prefix(1);
  }
  return out;
}

std::string Utf8ToGb2312(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  Converter conv("CP936", "UTF-8");
  while (!utf8.empty()) {
    if (conv.ok() && !conv.Run(utf8, out)) break;
    if (utf8.empty()) break;
    size_t n = Utf8SequenceLength(utf8, 0);
    out += (n == 1 && static_cast<unsigned char>(utf8[0]) < 0x80) ? utf8[0] : '?';
    utf8.remove_prefix(n);
  }
  return out;
}

size_t CharLength(std::string_view utf8) {
  size_t count = 0;
  for (size_t i = 0; i < utf8.size(); i += Utf8SequenceLength(utf8, i)) ++count;
  return count;
}

std::string CharLeft(std::string_view utf8, size_t count) {
  size_t i = 0;
  for (; i < utf8.size() && count > 0; --count) i += Utf8SequenceLength(utf8, i);
  return std::string(utf8.substr(0, i));
}

std::string ReplaceFirst(std::string_view text, std::string_view find, std::string_view with) {
  std::string out(text);
  if (find.empty()) return out;
  size_t at = out.find(find);
  if (at != std::string::npos) out.replace(at, find.size(), with);
  return out;
}

size_t DisplayWidth(std::string_view utf8) {
  size_t width = 0;
  for (size_t i = 0; i < utf8.size(); i += Utf8SequenceLength(utf8, i))
    width += static_cast<unsigned char>(utf8[i]) < 0x80 ? 1 : 2;
  return width;
}

}  // namespace slvn
