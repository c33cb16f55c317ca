#pragma once

#include "platform/forms.h"
#include "platform/timer.h"

namespace slvn {

// The main window: the table and everything on it. Its controls are named as
// the game names them; the layout procedures place them.
class MainForm : public Form {
 public:
  explicit MainForm(Forms& forms);

  Timer TimerBong;       // the heartbeat, every 50 ms
  Timer TimerKeepAlive;  // the keep-alive, every 5000 ms
};

}  // namespace slvn
