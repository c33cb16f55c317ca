#include "anigif/gif_encode.h"

#include <array>
#include <memory>

namespace slvn {

namespace {

constexpr int kClear = 256;
constexpr int kEnd = 257;
constexpr int kHashSize = 5003;  // a prime: open addressing with double hashing
constexpr int kMaxCodes = 4096;

// Packs codes least significant bit first into data sub-blocks of 254 bytes.
class CodeWriter {
 public:
  explicit CodeWriter(std::vector<uint8_t>& out) : out_(out) {}

  void OutputCode(int code, int width) {
    acc_ |= static_cast<uint32_t>(code) << held_;
    held_ += width;
    while (held_ >= 8) {
      Put(static_cast<uint8_t>(acc_));
      acc_ >>= 8;
      held_ -= 8;
    }
  }
  // The last partial byte, the last sub-block and the block terminator.
  void Flush() {
    if (held_ > 0) Put(static_cast<uint8_t>(acc_));
    acc_ = 0;
    held_ = 0;
    WriteBlock();
    out_.push_back(0);
  }

 private:
  void Put(uint8_t byte) {
    block_[fill_++] = byte;
    if (fill_ == 254) WriteBlock();
  }
  void WriteBlock() {
    if (fill_ == 0) return;
    out_.push_back(static_cast<uint8_t>(fill_));
    out_.insert(out_.end(), block_.begin(), block_.begin() + fill_);
    fill_ = 0;
  }

  std::vector<uint8_t>& out_;
  std::array<uint8_t, 254> block_{};
  int fill_ = 0;
  uint32_t acc_ = 0;
  int held_ = 0;
};

// The string table of the encoder: (prefix code, next index) -> code.
struct HashTable {
  std::array<int32_t, kHashSize> keys;
  std::array<int16_t, kHashSize> codes{};
  void Clear() { keys.fill(-1); }
  // The slot that holds `key`, or the slot where it goes. A probe ends at
  // the first slot whose key is not above 0, so the entry of key 0 (index 0
  // after prefix 0) may give way to the new one: the table only forgets a
  // string, which the decoder never notices.
  int Find(int32_t key, int index, int prefix) const {
    int slot = (index << 4) ^ prefix;
    if (keys[slot] < 0 || keys[slot] == key) return slot;
    const int step = slot == 0 ? 1 : kHashSize - slot;
    do {
      slot -= step;
      if (slot < 0) slot += kHashSize;
    } while (keys[slot] != key && keys[slot] > 0);
    return slot;
  }
};

void Compress(std::span<const uint8_t> pixels, CodeWriter& writer) {
  auto table = std::make_unique<HashTable>();
  table->Clear();
  int width = 9, next = kEnd + 1;
  writer.OutputCode(kClear, width);
  int pending = pixels[0];
  for (size_t i = 1; i < pixels.size(); ++i) {
    int c = pixels[i];
    int32_t key = c * kMaxCodes + pending;
    int slot = table->Find(key, c, pending);
    if (table->keys[slot] == key) {
      pending = table->codes[slot];
      continue;
    }
    writer.OutputCode(pending, width);
    pending = c;
    if (next == kMaxCodes) {  // the table is full: start afresh
      writer.OutputCode(kClear, width);
      table->Clear();
      width = 9;
      next = kEnd + 1;
      continue;
    }
    table->keys[slot] = key;
    table->codes[slot] = static_cast<int16_t>(next);
    if (next >= (1 << width) && width < 12) ++width;
    ++next;
  }
  writer.OutputCode(pending, width);
  // A decoder adds one more entry for the last code before it reads the end
  // code; when its next free code then reaches 2^width it reads the end code
  // one bit wider. Its next free code is ours.
  if (next == (1 << width) && width < 12) ++width;
  writer.OutputCode(kEnd, width);
  writer.Flush();
}

void PutWord(std::vector<uint8_t>& out, int v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

}  // namespace

std::vector<uint8_t> EncodeFrameGIF(const FrameToEncode& frame) {
  const int w = frame.Width, h = frame.Height;
  if (w <= 0 || h <= 0 || w > 65535 || h > 65535 ||
      frame.indices.size() != static_cast<size_t>(w) * h)
    return {};
  std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  out.reserve(800 + frame.indices.size() / 2);
  PutWord(out, w);
  PutWord(out, h);
  out.insert(out.end(), {0x87, 0, 0});
  for (int i = 0; i < 256; ++i) {
    uint32_t rgb = frame.palette && i < frame.palette->Count() ? frame.palette->colors[i] : 0;
    out.insert(out.end(), {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                           static_cast<uint8_t>(rgb)});
  }
  if (frame.TransFlag) out.insert(out.end(), {0x21, 0xF9, 4, 1, 0, 0, frame.TransIndex, 0});
  out.insert(out.end(), {0x2C, 0, 0, 0, 0});
  PutWord(out, w);
  PutWord(out, h);
  out.insert(out.end(), {0, 8});
  CodeWriter writer(out);
  Compress(frame.indices, writer);
  out.push_back(0x3B);
  return out;
}

}  // namespace slvn
