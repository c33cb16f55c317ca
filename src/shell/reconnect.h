#pragma once

#include <cstdint>

#include "platform/forms.h"
#include "platform/timer.h"

namespace slvn {

struct Client;
class GamePacket;

// The reconnect window: loaded but never shown, its timers run the attempts
// after a lost connection. The first comes 4 s after it loads, then one every
// 3 s, 21 at most; 3 s after the last, still without a connection, the
// program ends.
class ReconnectForm : public Form {
 public:
  explicit ReconnectForm(Client& client);

  Timer TimerReconnect;  // 1 s: the countdown before the attempts
  Timer TimerCount;      // 3 s: one attempt each
  int16_t ReconnectCountdown = 0;
  int16_t ReconnectAttempts = 0;
};

// Loads the hidden reconnect window, which starts the reconnect attempts.
void LoadReconnectForm(Client& client);

// The reconnect window's handlers.
void frmReconnect_Form_Load(Client& client);
void TimerReconnect_Timer(Client& client);
void TimerCount_Timer(Client& client);

// Turns the login packet into the reconnect packet (command 28 with the
// echo token and the table's reconnect id) and reconnects, directly or
// through the proxy; the login path sends it once the connection stands.
void Reconnect(Client& client, GamePacket& packet);

}  // namespace slvn
