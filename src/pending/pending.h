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

// The control's remote load: a background fetch of `path` through the web
// pane, reporting to the control by AsyncReadProgress and AsyncReadComplete.
// False while the fetch is not built (the read cannot start).
class ucAniGIF;
bool AsyncReadRemoteGIF(Client& client, ucAniGIF& control, std::string_view path);
void CancelAsyncReadRemoteGIF(Client& client, ucAniGIF& control);

}  // namespace slvn
