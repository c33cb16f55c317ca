#include "shell/general.h"

#include <cmath>

#include "platform/text.h"
#include "shell/client.h"

namespace slvn {

int16_t MaxInt(int16_t a, int16_t b) {
  return a > b ? a : b;
}

uint8_t BitIndex(uint8_t x) {
  uint8_t i = 0;
  while (x > 1) {
    x >>= 1;
    ++i;
  }
  return i;
}

uint8_t BitValue(uint8_t n) {
  return n > 7 ? 0 : static_cast<uint8_t>(1u << n);
}

int RelativeSeat(uint8_t own_seat_bit, uint8_t seat_bit) {
  return (BitIndex(own_seat_bit) + 4 - BitIndex(seat_bit)) & 3;
}

int32_t RoundHalfEven(double value) {
  return static_cast<int32_t>(std::nearbyint(value));
}

void SleepSeconds(Client& client, float s) {
  double ms = s > 0 ? RoundHalfEven(static_cast<double>(s) * 1000.0) : 0;
  client.loop.SleepSeconds(ms / 1000.0);
}

void WaitSeconds(Client& client, float s) {
  client.loop.WaitSeconds(s > 0 ? s : 0);
}

std::string PadRight(std::string_view text, int16_t width) {
  std::string out(text);
  for (size_t n = CharLength(text); static_cast<int>(n) < width; ++n) out += ' ';
  return out;
}

bool TestAndSetWallMark(Data& data, int16_t position) {
  if (position < 0 || position >= kWallPositions) return true;
  if (data.WallState[position] == 1) return true;
  data.WallState[position] = 1;
  return false;
}

bool IsWallMarked(const Data& data, int16_t position) {
  if (position < 0 || position >= kWallPositions) return true;
  return data.WallState[position] == 1;
}

int32_t MinPositiveOfFour(const Data& data) {
  int32_t best = 0;
  for (int32_t v : data.SeatWealth)
    if (v > 0 && (best == 0 || v < best)) best = v;
  return best;
}

}  // namespace slvn
