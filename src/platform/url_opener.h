#pragma once

#include <memory>
#include <string>
#include <vector>

namespace slvn {

// Opens an address in the desktop's browser.
class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  // Starts the opening and returns at once; a failure is not reported.
  virtual void Open(const std::string& address) = 0;
};

// xdg-open, started without a shell and not waited for.
std::unique_ptr<UrlOpener> MakeDesktopUrlOpener();

// For tests: keeps the addresses instead of opening them.
class RecordingUrlOpener : public UrlOpener {
 public:
  std::vector<std::string> opened;
  void Open(const std::string& address) override { opened.push_back(address); }
};

}  // namespace slvn
