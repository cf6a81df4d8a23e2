// Linked into every test, fuzz and benchmark program: installs the layers
// above the model before main runs, as the programs do first thing.
#include "print/frxPrintJob.h"

namespace {
const bool kInstalled = (zentavo::InstallPrinting(), true);
}  // namespace
