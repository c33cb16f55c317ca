#pragma once

#include <cstdint>

#include "platform/window_bus.h"

namespace slvn {

struct Client;

// Messages between the lobby's window and ours.
enum LobbyMessage : uint32_t {
  kLobbyConnect = 0x16,  // lobby -> client: connect and log in again; client -> lobby: logging in
  kLobbyGiveUpTable = 0x303,  // lobby -> client: give up the table; client -> lobby: logged in
  kLobbyIdle = 0x400,         // lobby -> client: leave and reset; client -> lobby: no hand runs
  kLobbyHandRunning = 0x465,  // lobby -> client: is a hand running?; client -> lobby: yes
  kLobbyLoginPending = 0x466,
  kLobbyWallBuilt = 0x467,
};

// Looks the lobby's window up by `LobbyTitle` and keeps the handle in `LobbyWindow`.
WindowHandle FindLobbyWindow(Client& client);
// Restore and minimise the lobby window; nothing for a blank title; the
// program ends when the window is gone.
void ReturnToLobby(Client& client);
void MinimizeLobbyWindow(Client& client);
// Posts a message (wParam 0, lParam 0) when the lobby window exists.
void PostToLobby(Client& client, uint32_t message);
// The lobby's connect request: the login packet is a login again, the socket
// connects afresh (directly or through the proxy) and the login slot is armed.
void ConnectAndLogIn(Client& client);
// A leave path that pauses marks itself, so that a connect request arriving
// meanwhile runs after it has finished instead of being closed by its reset.
void LeavePathStarted(Client& client);
void LeavePathFinished(Client& client);
// The client has no life of its own once the lobby is gone. While the
// heartbeat runs its own lookups see to that; while it is off (after a leave
// or reset, waiting for the lobby's 0x16) this watch looks the lobby up every
// 2 s and ends the program when it is gone.
void StartLobbyWatch(Client& client);
void LobbyWatch_Timer(Client& client);
// Our main window's handler of the lobby's messages; 0 for every message.
int64_t LobbyWndProc(Client& client, const WindowMessage& message);

}  // namespace slvn
