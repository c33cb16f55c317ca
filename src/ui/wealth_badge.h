#pragma once

#include <cstdint>

namespace slvn {

struct Client;

// The wealth badge shows the smallest wealth value above 0 of the four
// seats; a three-digit value takes the smaller font and its own place.
void RefreshWealthBadge(Client& client);
// The badge showing `value` (a freed seat's new multiplier), font and place as above.
void RefreshWealthBadge(Client& client, int32_t value);

}  // namespace slvn
