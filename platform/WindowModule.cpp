// The GTK interface, reached through the window module.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "platform/Modules.h"
#include "platform/Ui.h"

namespace zentavo {
namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

std::unique_ptr<Ui> CreateGtkUi(const std::string& title) {
  // GTK cannot start without a display; don't pay for loading it.
  if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY")) return nullptr;
  try {
    auto create = reinterpret_cast<Ui* (*)(const char*)>(ModuleEntry("zentavo-gtk.so", "zentavo_gtk_ui"));
    return std::unique_ptr<Ui>(create(title.c_str()));
  } catch (const std::exception& e) {
    // A broken installation must not cost the clinic its labels: they still
    // print, without the window.
    std::fprintf(stderr, "%s; going on without the window\n", e.what());
    return nullptr;
  }
}

}  // namespace zentavo
