// Compiled with the report model's view of the tree: an include of a layer
// above it must not be found.
#include "engine/frxEngine.h"
