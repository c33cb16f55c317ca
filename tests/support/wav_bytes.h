#pragma once

#include <string>

namespace slvn::test {

// A PCM WAV file: `frames` frames of 16-bit mono at `rate`.
std::string WavBytes(int frames, int rate = 22050);

}  // namespace slvn::test
