#include "ui/web_panes.h"

#include "shell/client.h"

namespace slvn {

void WebBrowser1_DocumentComplete(Client& client) {
  if (client.data.WebPageFailed) return;
  MainForm& f = client.main_form;
  f.WebBrowser1.SetTop(f.Bird.Top() + 2);
  f.WebBrowser1.SetLeft(f.Bird.Left() + 2);
  f.WebBrowser1.ZOrder(0);
  f.WebBrowser1.SetVisible(true);
}

void WebBrowser1_NavigateError(Client& client) {
  client.main_form.WebBrowser1.SetVisible(false);
  client.data.WebPageFailed = true;
}

void WebBrowser2_NavigateError(Client& client) {
  client.main_form.WebBrowser2.SetVisible(false);
}

void ConnectWebPanes(Client& client) {
  MainForm& f = client.main_form;
  f.WebBrowser1.DocumentComplete = [&client](const std::string&) {
    WebBrowser1_DocumentComplete(client);
  };
  f.WebBrowser1.NavigateError = [&client](const std::string&, int) {
    WebBrowser1_NavigateError(client);
  };
  f.WebBrowser2.NavigateError = [&client](const std::string&, int) {
    WebBrowser2_NavigateError(client);
  };
}

}  // namespace slvn
