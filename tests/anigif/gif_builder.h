#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace slvn::test {

// Writes small GIF files block by block. Image data is "literal" LZW: every
// index as its own 9-bit code with a clear code often enough that the code
// width never grows, so the files do not depend on the encoder under test.
class GifBuilder {
 public:
  explicit GifBuilder(int width = 0, int height = 0, std::vector<uint32_t> global = {}) {
    Put("GIF89a");
    Word(width);
    Word(height);
    bytes.push_back(global.empty() ? 0 : static_cast<uint8_t>(0x80 | TableBits(global)));
    bytes.insert(bytes.end(), {0, 0});
    Table(global);
  }
  GifBuilder& Loops(int n) {
    bytes.insert(bytes.end(), {0x21, 0xFF, 11});
    Put("NETSCAPE2.0");
    bytes.insert(bytes.end(), {3, 1});
    Word(n);
    bytes.push_back(0);
    return *this;
  }
  GifBuilder& Control(int disposal, int delay_cs, int trans = -1) {
    bytes.insert(bytes.end(), {0x21, 0xF9, 4, static_cast<uint8_t>(disposal << 2 | (trans >= 0))});
    Word(delay_cs);
    bytes.push_back(static_cast<uint8_t>(trans >= 0 ? trans : 0));
    bytes.push_back(0);
    return *this;
  }
  // `indices` in the order they are stored (already interlaced when asked).
  GifBuilder& Image(int left, int top, int w, int h, const std::vector<uint8_t>& indices,
                    std::vector<uint32_t> local = {}, bool interlaced = false) {
    bytes.push_back(0x2C);
    for (int v : {left, top, w, h}) Word(v);
    uint8_t packed = interlaced ? 0x40 : 0;
    if (!local.empty()) packed |= static_cast<uint8_t>(0x80 | TableBits(local));
    bytes.push_back(packed);
    Table(local);
    bytes.push_back(8);
    std::vector<uint8_t> data;
    uint32_t acc = 0;
    int held = 0;
    auto code = [&](int c) {
      acc |= static_cast<uint32_t>(c) << held;
      for (held += 9; held >= 8; held -= 8, acc >>= 8) data.push_back(static_cast<uint8_t>(acc));
    };
    code(256);
    for (size_t i = 0; i < indices.size(); ++i) {
      if (i % 250 == 249) code(256);
      code(indices[i]);
    }
    code(257);
    if (held) data.push_back(static_cast<uint8_t>(acc));
    for (size_t at = 0; at < data.size(); at += 255) {
      size_t n = std::min<size_t>(255, data.size() - at);
      bytes.push_back(static_cast<uint8_t>(n));
      bytes.insert(bytes.end(), data.begin() + at, data.begin() + at + n);
    }
    bytes.push_back(0);
    return *this;
  }
  std::vector<uint8_t> End() {
    bytes.push_back(0x3B);
    return bytes;
  }

  std::vector<uint8_t> bytes;

 private:
  void Put(const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.end()); }
  void Word(int v) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
  }
  static int TableBits(const std::vector<uint32_t>& t) {
    int k = 0;
    while ((2u << k) < t.size()) ++k;
    return k;
  }
  void Table(const std::vector<uint32_t>& t) {
    if (t.empty()) return;
    size_t n = size_t{2} << TableBits(t);
    for (size_t i = 0; i < n; ++i) {
      uint32_t c = i < t.size() ? t[i] : 0;
      bytes.insert(bytes.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                                 static_cast<uint8_t>(c)});
    }
  }
};

}  // namespace slvn::test
