#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace slvn {

struct Client;

// The SOCKS5 connection to the game server: connects the game socket to the
// proxy (the launch line's proxy host and port) and starts the negotiation.
// While an earlier call still waits for its proxy connection, a further call
// only reconnects the socket; the waiting call goes on with it.
void ConnectViaProxy(Client& client);
// Sends the message of step 1 (greeting), 3 (authentication) or 5 (connect
// request) and advances the step to 2, 4 or 6.
void SendProxyStep(Client& client);
// Called after every chunk received during a negotiation: once the whole
// reply of the current step is in ProxyBuffer it is judged and taken out;
// bytes after the connect reply go to RecvRing as the first game bytes.
void HandleProxyReply(Client& client);
void ResetProxyReceive(Client& client);

// The messages, as sent.
std::vector<uint8_t> ProxyGreeting();
// User name and password cut to 255 bytes each; a character without a
// single-byte code is sent as 0.
std::vector<uint8_t> ProxyAuthentication(std::string_view user, std::string_view password);
std::vector<uint8_t> ProxyConnectRequest(const std::array<uint8_t, 4>& address, uint16_t port);
// The length of the proxy's reply to the given sent step, judged from the
// bytes received so far: nothing while too few bytes are in to tell.
std::optional<size_t> ProxyReplyLength(uint8_t step, const std::vector<uint8_t>& received);

}  // namespace slvn
