#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace slvn {

// The first IPv4 address of a host name or dotted address (may block while
// the name is looked up); nothing when it has none.
std::optional<std::array<uint8_t, 4>> ResolveIPv4(const std::string& host);

}  // namespace slvn
