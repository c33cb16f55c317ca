#pragma once

#include <memory>
#include <string>

namespace slvn {

// A shared library opened at run time; closed with the object.
class SharedLibrary {
 public:
  // Null when the file is missing or cannot be loaded; `error` then says why.
  // Opening runs the library's start-up code (its constructors) before any
  // symbol can be looked at: whatever a caller checks afterwards guards
  // compatibility, not safety. Where the file is looked for is the
  // protection.
  static std::unique_ptr<SharedLibrary> Open(const std::string& path, std::string* error = nullptr);
  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // The address of an exported symbol; null when it has none.
  void* Symbol(const std::string& name) const;

 private:
  explicit SharedLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace slvn
