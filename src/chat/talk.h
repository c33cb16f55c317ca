#pragma once

#include "platform/controls.h"
#include "platform/forms.h"

namespace slvn {

struct Client;

// The chat history window: a list of the run's chat lines that floats over
// the table. Made hidden on first use; only ever shown and hidden.
class TalkForm : public Form {
 public:
  explicit TalkForm(Forms& forms);

  ImageControl Background{this};
  ListBox Text1{this};  // shows ChatState::Text1 from its Text1TopIndex
  Label Label1{this};   // the strip across the top: a click closes the window
};

// Wires the window's handlers.
void ConnectTalk(Client& client);

void Talk_Load(Client& client);
// Lbchat and the bar's chat button: hides the window when it is shown, else
// shows it topmost over the table.
void Lbchat_Click(Client& client);
// Alt then C on the table: shows the window the same way (it only shows).
void ShowTalkWindow(Client& client);
// Hides the window, making it hidden first when it was never made.
void HideTalkWindow(Client& client);
void Label1_Click(Client& client);
// Alt and C (either order, nothing between them) close the window.
void Text1_KeyDown(Client& client, int key_code, int shift);

// Brings the window's list up to date with the history lines and the line
// shown first; writers fill ChatState::Text1 and the heartbeat calls this.
void SyncTalkList(Client& client);
// The writers' scroll: the last line becomes the first one shown.
void ScrollHistoryToEnd(Client& client);

}  // namespace slvn
