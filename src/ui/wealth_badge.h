#pragma once

namespace slvn {

struct Client;

// The wealth badge shows the smallest wealth value above 0 of the four
// seats; a three-digit value takes the smaller font and its own place.
void RefreshWealthBadge(Client& client);

}  // namespace slvn
