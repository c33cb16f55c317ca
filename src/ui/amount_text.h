#pragma once

#include <string>

namespace slvn {

// An amount (coins, points, credit) as the table shows it: the shortest
// plain decimal text that reads back as the same double ("12.5", "-3"),
// never an exponent, also above 2^53.
std::string FormatAmount(double value);

}  // namespace slvn
