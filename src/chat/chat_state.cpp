#include "chat/chat_state.h"

namespace slvn {

void PutSysmsgLine(ChatState& chat, std::string_view text) {
  auto& strip = chat.Sysmsg;
  if (!strip[1].empty()) {
    strip[0] = strip[1];
    strip[1] = text;
  } else if (!strip[0].empty()) {
    strip[1] = text;
  } else {
    strip[0] = text;
  }
}

}  // namespace slvn
