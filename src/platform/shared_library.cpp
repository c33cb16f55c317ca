#include "platform/shared_library.h"

#include <dlfcn.h>

namespace slvn {

std::unique_ptr<SharedLibrary> SharedLibrary::Open(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary() {
  dlclose(handle_);
}

void* SharedLibrary::Symbol(const std::string& name) const {
  return dlsym(handle_, name.c_str());
}

}  // namespace slvn
