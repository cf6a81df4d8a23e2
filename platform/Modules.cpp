#include "platform/Modules.h"

#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace zentavo {
namespace {

std::filesystem::path InstalledModuleDir() {
  std::error_code ec;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return program.parent_path().parent_path() / ZENTAVO_MODULE_INSTALL_DIR;
}

}  // namespace

void* ModuleEntry(const char* file, const char* entry) {
  std::filesystem::path path = InstalledModuleDir() / file;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) path = std::filesystem::path(ZENTAVO_MODULE_BUILD_DIR) / file;
  // The module's own libraries are bound as it loads, so a broken
  // installation fails here with the loader's reason and not in mid-print.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) throw std::runtime_error(std::string("Cannot load ") + file + ": " + dlerror());
  void* address = dlsym(handle, entry);
  if (address == nullptr)
    throw std::runtime_error(std::string("Cannot load ") + file + ": " + entry + " is missing");
  return address;
}

}  // namespace zentavo
