#include "chat/chat_state.h"

#include "shell/client.h"

namespace slvn {
namespace {

// The main window's two strip lines show `Sysmsg`.
void ShowSysmsgLines(Client& client) {
  for (int i = 0; i < 2; ++i) {
    ListBox& line = client.main_form.Sysmsg[i];
    line.Clear();
    line.AddItem(client.chat.Sysmsg[i]);
  }
}

}  // namespace

void PutSysmsgLine(Client& client, std::string_view text) {
  auto& strip = client.chat.Sysmsg;
  if (!strip[1].empty()) {
    strip[0] = strip[1];
    strip[1] = text;
  } else if (!strip[0].empty()) {
    strip[1] = text;
  } else {
    strip[0] = text;
  }
  ShowSysmsgLines(client);
}

void SetSysmsgLine(Client& client, int line, std::string_view text) {
  if (line < 0 || line > 1) return;
  client.chat.Sysmsg[line] = text;
  ShowSysmsgLines(client);
}

}  // namespace slvn
