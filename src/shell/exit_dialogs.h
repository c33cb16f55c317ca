#pragma once

#include "platform/controls.h"
#include "platform/forms.h"

namespace slvn {

struct Client;

// The exit dialog: "do you really want to leave?", with a warning during a hand.
class ExitDialog : public Form {
 public:
  explicit ExitDialog(Forms& forms);

  ImageControl Background{this};
  Label Label2{this};  // "游戏正在进行，逃跑会扣分！"
  Label Label1{this};  // "您真的要退出吗？"
  ImageControl pbCloseMe{this};
  ImageControl pbCancel{this};
};

// The notice that the game at the table ended because of someone else.
class OtherExitDialog : public Form {
 public:
  explicit OtherExitDialog(Forms& forms);

  ImageControl Background{this};
  Label Label1{this};  // the caller's text
  ImageControl imgOK{this};
  ImageControl imgCancel{this};
};

// Wires the dialogs' handlers to the client.
void ConnectExitDialogs(Client& client);

// frmExit: loaded, centred over the main window and shown without blocking;
// shown already, the same request hides it.
void ShowExitDialog(Client& client);
void frmExit_Load(Client& client);
void pbCloseMe_Click(Client& client);
void pbCancel_Click(Client& client);

// frmOtherExit.
void frmOtherExit_Load(Client& client);
void imgOK_Click(Client& client);
void imgCancel_Click(Client& client);

}  // namespace slvn
