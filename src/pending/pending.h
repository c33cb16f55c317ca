#pragma once

#include <string_view>

namespace slvn {

struct Client;

// Every procedure that the program already calls but whose behaviour comes
// with later work is defined in pending.cpp, and nowhere else. Each one
// reports itself here: it is written to stderr once per name and kept in
// Client::not_yet_built, so tests can see that the call was made and nothing
// pretends to have been done.
void NotYetBuilt(Client& client, std::string_view name);

// The program's start-up (launch line, window, connection) is not built yet.
void Form_Load(Client& client);

// The game socket's state 7; no socket exists yet.
bool SocketConnected(Client& client);
// Leaving the table and resetting the client.
void LeaveTableAndStopVideo(Client& client);
void ResetClientState(Client& client);
// The table view between hands.
void ResetTableView(Client& client);
// The lobby's connect request: reconnect the game socket and arm the login.
void ConnectAndLogIn(Client& client);

}  // namespace slvn
