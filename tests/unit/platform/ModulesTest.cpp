// The window and print system modules load on first use; a missing module or
// entry must be a clear error, never a crash or a silent null.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/Modules.h"

namespace zentavo {
namespace {

std::string LoadError(const char* file, const char* entry) {
  try {
    ModuleEntry(file, entry);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

TEST(Modules, BuiltModulesExportTheirEntries) {
  EXPECT_NE(ModuleEntry("zentavo-cups.so", "zentavo_print_system"), nullptr);
  EXPECT_NE(ModuleEntry("zentavo-gtk.so", "zentavo_gtk_ui"), nullptr);
}

TEST(Modules, MissingModuleOrEntryIsNamed) {
  EXPECT_EQ(LoadError("zentavo-cups.so", "no_such_entry"), "Cannot load zentavo-cups.so: no_such_entry is missing");
  EXPECT_EQ(LoadError("zentavo-none.so", "x").rfind("Cannot load zentavo-none.so: ", 0), 0u);
}

}  // namespace
}  // namespace zentavo
