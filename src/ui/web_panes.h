#pragma once

namespace slvn {

struct Client;

// The first pane shows its page over Bird once loaded, unless a navigation
// of it failed in this run; a failure hides either pane.
void WebBrowser1_DocumentComplete(Client& client);
void WebBrowser1_NavigateError(Client& client);
void WebBrowser2_NavigateError(Client& client);

void ConnectWebPanes(Client& client);

}  // namespace slvn
