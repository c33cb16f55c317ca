#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace slvn {

struct Client;
struct Data;

int16_t MaxInt(int16_t a, int16_t b);
// Position of the highest set bit: a seat bit or suit nibble (1, 2, 4, 8) to
// 0..3; 0 and 1 both give 0.
uint8_t BitIndex(uint8_t x);
// 2 to the power n for n = 0..7; 0 beyond, where no 8-bit value exists.
uint8_t BitValue(uint8_t n);
// The display seat of a seat bit as seen from the own seat bit: 0 self
// (bottom), 1 left, 2 top, 3 right. An own bit of 0 counts as North.
int RelativeSeat(uint8_t own_seat_bit, uint8_t seat_bit);

// Blocks the thread for round(s * 1000) ms, halves to even; the screen is
// presented first and nothing is dispatched meanwhile.
void SleepSeconds(Client& client, float s);
// Dispatches events until more than s seconds have passed on the monotonic
// clock; any handler may run meanwhile, so callers re-read what they rely on.
void WaitSeconds(Client& client, float s);

// Appends blanks until the text is `width` characters long; never cuts.
std::string PadRight(std::string_view text, int16_t width);

// Marks a wall position as taken; true when it was taken already. Positions
// outside 0..119 count as taken and are never written.
bool TestAndSetWallMark(Data& data, int16_t position);
bool IsWallMarked(const Data& data, int16_t position);

// The smallest wealth multiplier above 0 among the four seats, 0 when none.
int32_t MinPositiveOfFour(const Data& data);

// A scaled layout value stored as an integer: nearest, halves to even.
int32_t RoundHalfEven(double value);

}  // namespace slvn
