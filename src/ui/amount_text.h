#pragma once

#include <string>

namespace slvn {

// An amount (coins, points, credit) as the table shows it: a whole number in
// plain decimal digits, never an exponent, also above 2^53 (every digit of
// the stored value). A fraction is rounded, halves to even.
std::string FormatAmount(double value);

}  // namespace slvn
