#pragma once

namespace slvn {

struct Client;

// One tick of the 50 ms heartbeat: sends one queued packet, dispatches one
// received packet, sends the login, blinks, counts down, watches the
// connection and the lobby window, hides the claim bubble and polls the
// item plug-in. A tick never runs inside another.
void TimerBong_Timer(Client& client);
// Queues the keep-alive packet (command 24).
void TimerKeepAlive_Timer(Client& client);

// The slots, in the order a tick runs them.
void SendSlot(Client& client);
void ReceiveSlot(Client& client);
void LoginSlot(Client& client);
void WatchdogSlot(Client& client);

// Sends the login or reconnect packet straight on the connection. The queue
// follows a login at once; after a reconnect it waits for the server's
// acceptance (command 29), so a refused reconnect never has it sent.
void SendLoginPacket(Client& client);

// Switches the heartbeat and the keep-alive off for a reset or a leave; a
// tick during which this happens leaves the heartbeat off at its end.
void StopHeartbeat(Client& client);

// Wires the main window's timers to the handlers above.
void ConnectHeartbeatTimers(Client& client);

}  // namespace slvn
