#include "ui/main_form.h"

#include "platform/event_loop.h"

namespace slvn {

MainForm::MainForm(Forms& forms)
    : Form(forms), TimerBong(forms.Loop()), TimerKeepAlive(forms.Loop()) {
  TimerBong.SetInterval(50);
  TimerKeepAlive.SetInterval(5000);
}

}  // namespace slvn
