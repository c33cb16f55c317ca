#pragma once

#include <gif_lib.h>

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace slvn::test {

// giflib as an independent decoder: each frame's colour indices in row order.
inline std::vector<std::vector<uint8_t>> GiflibIndices(std::span<const uint8_t> file) {
  struct Source {
    std::span<const uint8_t> bytes;
    size_t pos = 0;
  } source{file};
  auto read = [](GifFileType* gif, GifByteType* out, int n) -> int {
    auto* s = static_cast<Source*>(gif->UserData);
    size_t take = std::min<size_t>(static_cast<size_t>(n), s->bytes.size() - s->pos);
    std::memcpy(out, s->bytes.data() + s->pos, take);
    s->pos += take;
    return static_cast<int>(take);
  };
  int error = 0;
  GifFileType* gif = DGifOpen(&source, read, &error);
  std::vector<std::vector<uint8_t>> frames;
  if (!gif) return frames;
  if (DGifSlurp(gif) == GIF_OK)
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& im = gif->SavedImages[i];
      size_t n = static_cast<size_t>(im.ImageDesc.Width) * im.ImageDesc.Height;
      frames.emplace_back(im.RasterBits, im.RasterBits + n);
    }
  DGifCloseFile(gif, &error);
  return frames;
}

}  // namespace slvn::test
