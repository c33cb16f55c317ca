#pragma once

#include <string>

#include "platform/window_bus.h"

namespace slvn {

// One line of the stand-in lobby's standard input: "post 0x112 0xF120 0" or
// "send 0x16"; the two numbers after the message are 0 when left out.
struct LobbyCommand {
  std::string verb;  // "post" or "send"
  WindowMessage message;
};

// The command of a line; false, with why in `error`, for anything else.
bool ParseLobbyCommand(const std::string& line, LobbyCommand& command, std::string& error);

}  // namespace slvn
