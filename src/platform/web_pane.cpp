#include "platform/web_pane.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/event_loop.h"
#include "platform/text.h"

namespace slvn {

namespace {

// Pages are small; anything larger is cut off here.
constexpr size_t kMaxPageBytes = 1 << 20;

size_t Collect(char* data, size_t size, size_t count, void* user) {
  auto* page = static_cast<std::string*>(user);
  size_t n = size * count;
  if (page->size() + n > kMaxPageBytes) return 0;  // aborts the transfer
  page->append(data, n);
  return n;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

bool IsHttp(const std::string& address) {
  std::string a = Lower(address.substr(0, 8));
  return a.starts_with("http://") || a.starts_with("https://");
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

WebBrowser::WebBrowser(Container* parent, EventLoop& loop)
    : Control(parent, true), loop_(loop), alive_(std::make_shared<bool>(true)) {}

WebBrowser::~WebBrowser() = default;

void WebBrowser::Navigate(const std::string& address) {
  address_ = address;
  title_.clear();
  busy_ = true;
  Invalidate();
  uint64_t generation = ++generation_;
  std::weak_ptr<bool> alive = alive_;
  loop_.Post([this, alive, generation] {
    if (alive.lock()) Fetch(generation);
  });
}

void WebBrowser::Fetch(uint64_t generation) {
  if (generation != generation_) return;
  std::string page;
  long status = 0;
  bool fetched = false;
  if (IsHttp(address_)) {
    if (CURL* curl = curl_easy_init()) {
      curl_easy_setopt(curl, CURLOPT_URL, address_.c_str());
      curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, kTimeoutMs);
      curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kTimeoutMs);
      curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
      curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
      curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
      curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
      curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
      curl_easy_setopt(curl, CURLOPT_WRITEDATA, &page);
      fetched = curl_easy_perform(curl) == CURLE_OK;
      curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
      curl_easy_cleanup(curl);
    }
  }
  busy_ = false;
  Invalidate();
  const std::string address = address_;
  std::weak_ptr<bool> alive = alive_;
  if (!fetched || status >= 400) {
    if (NavigateError) NavigateError(address, static_cast<int>(status));
    return;
  }
  title_ = PageTitle(page);
  if (DownloadComplete) DownloadComplete();
  if (alive.lock() && DocumentComplete) DocumentComplete(address);
}

}  // namespace slvn
