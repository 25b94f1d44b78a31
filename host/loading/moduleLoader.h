// Loading modules: shared libraries that export `c4d_main` and
// `g_privateBinary` (hostInterface.h).
#ifndef CAELO_HOST_LOADING_MODULE_LOADER_H
#define CAELO_HOST_LOADING_MODULE_LOADER_H

#include <filesystem>
#include <string>
#include <vector>

namespace caelo::host {

// Loads a module and starts it: dlopen (immediate binding, local symbols),
// checks `g_privateBinary` (signature and interface version), then calls
// `c4d_main` with request 1 (the host table, no second argument, the module's
// folder as a `const char*`), request 6 with message 1 (the module loads its
// resources) and request 2 (start: the module registers its types). Throws
// HostError naming the file and the step or request that failed, also for a
// module that is loaded already (under any path); a module
// that fails after it was initialised is ended and unloaded again (the types
// it registered are forgotten).
void loadModule(const std::filesystem::path& file);

// Ends every loaded module at shutdown: removes every node first (so that the
// modules' destructors still run), sends request 3, forgets the modules' types,
// resources and help hooks, and unloads the libraries, the last loaded first.
void unloadModules();

// Files of the loaded modules, in load order.
[[nodiscard]] std::vector<std::filesystem::path> loadedModules();

// The module beside the running program: <dir of /proc/self/exe>/plugins/caelo/caelo.so.
[[nodiscard]] std::filesystem::path defaultModulePath();

} // namespace caelo::host

#endif
