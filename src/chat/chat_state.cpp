#include "chat/chat_state.h"

#include "shell/client.h"

namespace slvn {
namespace {

// The main window's two strip lines show `Sysmsg`.
void ShowSysmsgLines(Client& client) {
  for (int i = 0; i < 2; ++i) {
    ListBox& line = client.main_form.Sysmsg[i];
    line.Clear();
    if (client.chat.Sysmsg[i]) line.AddItem(*client.chat.Sysmsg[i]);
  }
}

}  // namespace

void PutSysmsgLine(Client& client, std::string_view text) {
  auto& strip = client.chat.Sysmsg;
  if (strip[1]) {
    strip[0] = std::move(strip[1]);
    strip[1] = std::string(text);
  } else if (strip[0]) {
    strip[1] = std::string(text);
  } else {
    strip[0] = std::string(text);
  }
  ShowSysmsgLines(client);
}

void SetSysmsgLine(Client& client, int line, std::string_view text) {
  if (line < 0 || line > 1) return;
  client.chat.Sysmsg[line] = std::string(text);
  ShowSysmsgLines(client);
}

void ClearSysmsgLine(Client& client, int line) {
  if (line < 0 || line > 1) return;
  client.chat.Sysmsg[line].reset();
  ShowSysmsgLines(client);
}

}  // namespace slvn
