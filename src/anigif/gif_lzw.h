#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "anigif/gif_scan.h"

namespace slvn {

// Decodes one frame's compressed data (its sub-blocks inside `file`) into
// Width x Height colour indices, rows from the top, interlaced images put
// back in row order. Pixels the data does not reach (a cut file, a bad code)
// stay 0. False when the data cannot be LZW at all (a code size outside
// 1..11); the indices are then all 0.
bool DecodeFrameIndices(std::span<const uint8_t> file, const GIFFrame& frame,
                        std::vector<uint8_t>& indices);

// The LZW stream of one image, from concatenated sub-block payloads.
bool LzwDecode(std::span<const uint8_t> data, int min_code_size, std::span<uint8_t> out);

}  // namespace slvn
