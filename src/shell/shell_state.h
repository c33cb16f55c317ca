#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/timer.h"
#include "platform/window_bus.h"
#include "shell/launch_line.h"
#include "shell/net/game_packet.h"

namespace slvn {

// What the client shell keeps besides the shared game state: the launch
// line's values, the login packet and the guards of the heartbeat and the
// leave paths.
struct ShellState {
  LaunchLine launch;       // the lobby's launch line as start-up read it
  GamePacket LoginPacket;  // the login, turned into the reconnect packet later
  std::string WebPage1;    // the page the login reply named for the first web pane
  uint8_t timeoutnum = 0;  // consecutive timed-out own turns
  // When the float-bet or turn countdown, and the ready countdown, last
  // counted a second (monotonic seconds).
  double CountdownMark = 0;
  double ReadyMark = 0;

  // A tick of the heartbeat is running: a tick never runs inside another.
  bool in_tick = false;
  // Counts resets and leaves that switched the heartbeat off, so a tick
  // during which one ran does not switch it on again at its end.
  int heartbeat_stops = 0;
  // Counts leaves and resets of the table: a handler that pumps events
  // compares it across its wait and stops when its table was left meanwhile.
  int table_leaves = 0;

  // Held while this client runs, so that a second copy finds it taken.
  std::unique_ptr<BusWindow> instance_lock;
  // Our main window on the message bus: the lobby's messages arrive here.
  std::unique_ptr<BusWindow> main_window_bus;
  // Looks for the lobby every 2 s while the heartbeat is off.
  std::unique_ptr<Timer> lobby_watch;

  // Leave paths that are pausing, and a lobby connect request held until they finish.
  int leave_depth = 0;
  bool connect_after_leave = false;
};

}  // namespace slvn
