#include "anigif/gif_scan.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <string_view>

namespace slvn {

namespace {

// Reads little-endian fields from the file. A read past the end fails (and
// stays failed) instead of reading outside the bytes: the walk then stops.
class GifReader {
 public:
  explicit GifReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool Ok() const { return ok_; }
  size_t Pos() const { return pos_; }
  size_t Size() const { return bytes_.size(); }
  size_t Left() const { return bytes_.size() - pos_; }

  uint8_t ReadByte() {
    if (!Need(1)) return 0;
    return bytes_[pos_++];
  }
  uint8_t Peek() const { return pos_ < bytes_.size() ? bytes_[pos_] : 0; }
  uint16_t ReadWord() {
    if (!Need(2)) return 0;
    uint16_t v = static_cast<uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  std::span<const uint8_t> ReadBytes(size_t n) {
    if (!Need(n)) return {};
    auto out = bytes_.subspan(pos_, n);
    pos_ += n;
    return out;
  }
  // Passes data sub-blocks up to and including their zero terminator. False
  // when the data ends first; the position is then the end of the data.
  bool SkipSubBlocks() {
    while (pos_ < bytes_.size() && bytes_[pos_] != 0) pos_ += size_t{bytes_[pos_]} + 1;
    if (pos_ >= bytes_.size()) {
      pos_ = bytes_.size();
      ok_ = false;
      return false;
    }
    ++pos_;
    return true;
  }

 private:
  bool Need(size_t n) {
    if (ok_ && Left() >= n) return true;
    ok_ = false;
    return false;
  }

  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

GifPalette ReadColorTable(GifReader& in, int size_exponent) {
  GifPalette palette;
  auto rgb = in.ReadBytes(size_t{3} << size_exponent);
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    palette.colors.push_back(uint32_t{rgb[i]} << 16 | uint32_t{rgb[i + 1]} << 8 | rgb[i + 2]);
  return palette;
}

void ReadApplicationExtension(GifReader& in, GifScan& scan) {
  auto id = in.ReadBytes(in.ReadByte());
  std::string upper;
  for (uint8_t c : id) upper += static_cast<char>(std::toupper(c));
  if (in.Ok() && upper == "NETSCAPE2.0" && in.Peek() == 3) {
    in.ReadByte();
    in.ReadByte();  // the sub-block's id, whatever its value
    scan.LoopCount = in.ReadWord();
  }
  in.SkipSubBlocks();
}

// The graphic control extension; its block-size byte is honoured, and fields
// the block does not hold read as 0.
void ReadGraphicControl(GifReader& in, GIFFrame& pending, bool have_frames) {
  pending = GIFFrame{};
  size_t size = in.ReadByte();
  auto block = in.ReadBytes(size);
  std::array<uint8_t, 4> f{};
  std::copy_n(block.begin(), std::min<size_t>(block.size(), 4), f.begin());
  int disposal = (f[0] >> 2) & 7;
  if (disposal > 3 || (disposal == 3 && !have_frames)) disposal = 0;
  pending.Disposal = static_cast<uint8_t>(disposal);
  pending.DelayMs = (f[1] | f[2] << 8) * 10;
  pending.TransFlag = f[0] & 1;
  pending.TransIndex = pending.TransFlag ? f[3] : 0;
  in.SkipSubBlocks();
}

// Checks the sizes the frames ask for, in 64 bits, against the caps.
struct SizeCheck {
  int64_t frames = 0, canvas_width = 0, canvas_height = 0;

  bool Accept(const GIFFrame& f) {
    ++frames;
    canvas_width = std::max<int64_t>(canvas_width, f.Left + int64_t{f.Width});
    canvas_height = std::max<int64_t>(canvas_height, f.Top + int64_t{f.Height});
    if (canvas_width > kMaxPictureSide || canvas_height > kMaxPictureSide) return false;
    const int64_t canvas = canvas_width * canvas_height;
    return frames <= static_cast<int64_t>(kMaxFrames) && canvas <= kMaxCanvasPixels &&
           frames * canvas <= kMaxDrawnPixels;
  }
};

// The image descriptor and its data. False when the load must fail.
bool ReadImage(GifReader& in, GifScan& scan, GIFFrame frame, SizeCheck& sizes) {
  frame.Left = in.ReadWord();
  frame.Top = in.ReadWord();
  frame.Width = in.ReadWord();
  frame.Height = in.ReadWord();
  uint8_t packed = in.ReadByte();
  if (!in.Ok()) return true;  // cut inside the descriptor: earlier frames stand
  frame.Interlaced = packed & 0x40;
  if (packed & 0x80) {
    GifPalette local = ReadColorTable(in, (packed & 7) + 1);
    if (!in.Ok()) return true;
    frame.PaletteIndex = static_cast<int32_t>(scan.Palettes.size());
    scan.Palettes.push_back(std::move(local));
  } else if (scan.Palettes[0].colors.empty()) {
    return false;  // an image without any colour table
  }
  frame.MinCodeSize = in.ReadByte();
  if (!in.Ok()) return true;
  frame.DataPos = in.Pos();
  in.SkipSubBlocks();  // a cut here keeps the data present
  frame.DataLen = in.Pos() - frame.DataPos;
  if (!sizes.Accept(frame)) return false;
  scan.CanvasWidth = std::max(scan.CanvasWidth, frame.Left + frame.Width);
  scan.CanvasHeight = std::max(scan.CanvasHeight, frame.Top + frame.Height);
  scan.Frames.push_back(frame);
  return true;
}

}  // namespace

bool IsGifSignature(std::span<const uint8_t> bytes) {
  if (bytes.size() < 6) return false;
  std::string lower;
  for (size_t i = 0; i < 6; ++i) lower += static_cast<char>(std::tolower(bytes[i]));
  return lower == "gif89a" || lower == "gif87a";
}

GifScan ScanGIF(std::span<const uint8_t> bytes) {
  GifScan scan;
  GifReader in(bytes);
  if (!IsGifSignature(in.ReadBytes(6))) return {};
  in.ReadBytes(4);  // the logical screen: the canvas comes from the images
  uint8_t packed = in.ReadByte();
  in.ReadBytes(2);
  scan.Palettes.emplace_back();
  if (packed & 0x80) scan.Palettes[0] = ReadColorTable(in, (packed & 7) + 1);
  GIFFrame pending;
  SizeCheck sizes;
  while (in.Ok()) {
    uint8_t block = in.ReadByte();
    if (!in.Ok()) break;
    if (block == 0x00) continue;
    if (block == 0x2C) {
      if (!ReadImage(in, scan, pending, sizes)) return {};
      pending = GIFFrame{};
    } else if (block == 0x21) {
      uint8_t label = in.ReadByte();
      if (label == 0xFF)
        ReadApplicationExtension(in, scan);
      else if (label == 0xF9)
        ReadGraphicControl(in, pending, !scan.Frames.empty());
      else
        in.SkipSubBlocks();
    } else {
      break;  // the trailer, or bytes that are no block
    }
  }
  scan.Truncated = !in.Ok();
  return scan;
}

}  // namespace slvn
