#include "platform/web_pane.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/event_loop.h"
#include "platform/text.h"

namespace slvn {

namespace {

// Pages are small; anything larger is cut off here.
constexpr size_t kMaxPageBytes = 1 << 20;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

}  // namespace

std::string PageTitle(const std::string& html) {
  const std::string lower = Lower(html);
  size_t open = lower.find("<title");
  if (open == std::string::npos) return "";
  open = lower.find('>', open);
  if (open == std::string::npos) return "";
  size_t close = lower.find("</title", open);
  if (close == std::string::npos) return "";
  std::string title;
  for (size_t i = open + 1; i < close; ++i) {
    char c = html[i];
    bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
    if (blank && (title.empty() || title.back() == ' ')) continue;
    title += blank ? ' ' : c;
  }
  if (!title.empty() && title.back() == ' ') title.pop_back();
  if (lower.find("charset=gb") != std::string::npos) title = Gb2312ToUtf8(title);
  return title;
}

WebBrowser::WebBrowser(Container* parent, EventLoop& loop) : Control(parent, true), fetch_(loop) {}

WebBrowser::~WebBrowser() = default;

void WebBrowser::Navigate(const std::string& address) {
  address_ = address;
  title_.clear();
  busy_ = true;
  Invalidate();
  fetch_.Start(address, kTimeoutMs, kMaxPageBytes, [this](FetchResult r) { Finish(r); });
}

void WebBrowser::Finish(const FetchResult& result) {
  busy_ = false;
  Invalidate();
  const std::string address = address_;
  if (!result.Ok()) {
    if (NavigateError) NavigateError(address, static_cast<int>(result.status));
    return;
  }
  title_ = PageTitle(result.body);
  std::weak_ptr<bool> alive = alive_;
  if (DownloadComplete) DownloadComplete();
  if (alive.lock() && DocumentComplete) DocumentComplete(address);
}

}  // namespace slvn
