// The one RuntimeGlobals instance, zero at load.
#include "runtime/runtime_globals.h"

RuntimeGlobals TheRuntime{};
