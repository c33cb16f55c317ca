#pragma once

namespace slvn {

struct Client;

// A point inside the table picture `Pic1`, in its pixels: the unit of every
// control placed inside it.
struct TablePoint {
  double X = 0;
  double Y = 0;
};

// The middle of `Pic1` in its own pixels. `Pic1`'s size is kept in the
// window's units, so it is converted here, once for every caller.
TablePoint Pic1Centre(const Client& client);

}  // namespace slvn
