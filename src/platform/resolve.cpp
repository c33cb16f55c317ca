#include "platform/resolve.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <cstring>

namespace slvn {

std::optional<std::array<uint8_t, 4>> ResolveIPv4(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (host.empty() || getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
    return std::nullopt;
  std::array<uint8_t, 4> address{};
  const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  std::memcpy(address.data(), &in->sin_addr.s_addr, 4);
  freeaddrinfo(found);
  return address;
}

}  // namespace slvn
