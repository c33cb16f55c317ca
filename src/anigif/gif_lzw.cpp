#include "anigif/gif_lzw.h"

#include <algorithm>
#include <array>
#include <memory>

namespace slvn {

namespace {

constexpr int kMaxCodes = 4096;

// The dictionary: each code is a shorter code plus one index.
struct LzwTable {
  std::array<uint16_t, kMaxCodes> prefix{};
  std::array<uint8_t, kMaxCodes> suffix{};
  std::array<uint8_t, kMaxCodes> first{};
  std::array<uint16_t, kMaxCodes> length{};
};

// Writes the string of `code` at out[pos..], clipped to the output; returns
// the new position.
size_t EmitString(const LzwTable& t, int code, std::span<uint8_t> out, size_t pos) {
  size_t len = t.length[code];
  size_t end = pos + len;
  for (size_t i = end; i-- > pos;) {
    if (i < out.size()) out[i] = t.suffix[code];
    code = t.prefix[code];
  }
  return std::min(end, out.size());
}

std::vector<uint8_t> SubBlockPayload(std::span<const uint8_t> blocks) {
  std::vector<uint8_t> data;
  data.reserve(blocks.size());
  size_t pos = 0;
  while (pos < blocks.size() && blocks[pos] != 0) {
    size_t n = std::min<size_t>(blocks[pos], blocks.size() - pos - 1);
    data.insert(data.end(), blocks.begin() + pos + 1, blocks.begin() + pos + 1 + n);
    pos += size_t{blocks[pos]} + 1;
  }
  return data;
}

// Rows of an interlaced image arrive in four passes: every 8th row from 0,
// every 8th from 4, every 4th from 2, every 2nd from 1.
void Deinterlace(std::vector<uint8_t>& pixels, int width, int height) {
  std::vector<uint8_t> rows(pixels.size());
  const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
  size_t w = static_cast<size_t>(width);
  int src = 0;
  for (int pass = 0; pass < 4; ++pass)
    for (int y = starts[pass]; y < height; y += steps[pass], ++src)
      std::copy_n(pixels.begin() + src * w, w, rows.begin() + y * w);
  pixels.swap(rows);
}

}  // namespace

bool LzwDecode(std::span<const uint8_t> data, int min_code_size, std::span<uint8_t> out) {
  if (min_code_size < 1 || min_code_size > 11) return false;
  auto table = std::make_unique<LzwTable>();
  LzwTable& t = *table;
  const int clear = 1 << min_code_size, end = clear + 1;
  for (int c = 0; c < clear; ++c) {
    t.suffix[c] = t.first[c] = static_cast<uint8_t>(c);
    t.length[c] = 1;
  }
  int width = min_code_size + 1, next = end + 1, prev = -1;
  uint32_t bits = 0;
  int held = 0;
  size_t in = 0, pos = 0;
  while (pos < out.size()) {
    while (held < width && in < data.size()) {
      bits |= uint32_t{data[in++]} << held;
      held += 8;
    }
    if (held < width) break;
    int code = static_cast<int>(bits & ((1u << width) - 1));
    bits >>= width;
    held -= width;
    if (code == clear) {
      width = min_code_size + 1;
      next = end + 1;
      prev = -1;
      continue;
    }
    if (code == end) break;
    if (prev < 0) {
      if (code > clear) break;  // only a root may follow a clear
      pos = EmitString(t, code, out, pos);
      prev = code;
      continue;
    }
    if (code > next || (code == next && next >= kMaxCodes)) break;
    if (next < kMaxCodes) {  // a full dictionary takes no entries until a clear
      t.prefix[next] = static_cast<uint16_t>(prev);
      t.suffix[next] = code < next ? t.first[code] : t.first[prev];
      t.first[next] = t.first[prev];
      t.length[next] = static_cast<uint16_t>(t.length[prev] + 1);
      ++next;
      if (next == (1 << width) && width < 12) ++width;
    }
    pos = EmitString(t, code, out, pos);
    prev = code;
  }
  return true;
}

bool DecodeFrameIndices(std::span<const uint8_t> file, const GIFFrame& frame,
                        std::vector<uint8_t>& indices) {
  indices.assign(static_cast<size_t>(frame.Width) * frame.Height, 0);
  if (indices.empty()) return true;
  size_t pos = std::min(frame.DataPos, file.size());
  size_t len = std::min(frame.DataLen, file.size() - pos);
  auto data = SubBlockPayload(file.subspan(pos, len));
  if (!LzwDecode(data, frame.MinCodeSize, indices)) return false;
  if (frame.Interlaced) Deinterlace(indices, frame.Width, frame.Height);
  return true;
}

}  // namespace slvn
