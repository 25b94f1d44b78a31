#include "host/loading/moduleLoader.h"

#include "host/application.h"
#include "host/hostInternal.h"
#include "host/hostTypes.h"
#include "host/interfaceTable.h"
#include "host/services/hostError.h"

#include <cstdint>
#include <cstring>
#include <dlfcn.h>

namespace caelo::host {

namespace {

constexpr const char* kEntrySymbol = "c4d_main";
constexpr const char* kRecordSymbol = "g_privateBinary";
constexpr std::int32_t kModuleMessageLoadResources = 1;

std::string dlErrorText() {
    const char* text = dlerror();
    return text ? text : "unknown reason";
}

std::string requestName(std::int32_t request) {
    switch (request) {
    case HOST_REQUEST_INITIALISE:
        return "request 1 (initialise)";
    case HOST_REQUEST_START:
        return "request 2 (start)";
    case HOST_REQUEST_END:
        return "request 3 (end)";
    case HOST_REQUEST_MESSAGE:
        return "request 6 (message 1: load resources)";
    default:
        return "request " + std::to_string(request);
    }
}

void* messageId(std::int32_t id) {
    return reinterpret_cast<void*>(static_cast<std::intptr_t>(id));
}

// Sends one request, with the module recorded as the one running.
std::int32_t call(Application& app, LoadedModule& module, std::int32_t request, void* first, void* third) {
    const void* previous = app.currentModule();
    app.setCurrentModule(&module);
    const std::int32_t result = module.entry(request, first, nullptr, third);
    app.setCurrentModule(previous);
    return result;
}

void endAndClose(Application& app, LoadedModule& module, bool initialised) {
    if (initialised) {
        call(app, module, HOST_REQUEST_END, nullptr, nullptr);
    }
    app.types().removeModuleTypes(&module);
    app.removeHelpHooks(&module);
    dlclose(module.library);
}

const HostModuleRecord& checkRecord(void* library, const std::string& file) {
    const auto* record = static_cast<const HostModuleRecord*>(dlsym(library, kRecordSymbol));
    if (!record) {
        throw HostError(file + ": not a module: it does not export " + kRecordSymbol);
    }
    if (std::memcmp(record->signature, HOST_MODULE_SIGNATURE, sizeof record->signature) != 0) {
        throw HostError(file + ": not a module of this host: wrong signature in " + kRecordSymbol);
    }
    if (record->interfaceVersion < HOST_INTERFACE_MIN_VERSION ||
        record->interfaceVersion > HOST_INTERFACE_VERSION) {
        throw HostError(file + ": built for host interface version " +
                        std::to_string(record->interfaceVersion) + "; this host offers " +
                        std::to_string(HOST_INTERFACE_VERSION));
    }
    return *record;
}

} // namespace

void loadModule(const std::filesystem::path& file) {
    Application& app = application();
    const std::filesystem::path path = std::filesystem::absolute(file);
    const std::string name = path.string();
    void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        throw HostError(name + ": cannot load the module: " + dlErrorText());
    }
    for (const auto& loaded : app.modules()) {
        if (loaded->library == library) {
            dlclose(library);
            throw HostError(name + ": the module is loaded already (as " + loaded->file.string() + ")");
        }
    }
    auto module = std::make_unique<LoadedModule>();
    module->file = path;
    module->library = library;
    try {
        const HostModuleRecord& record = checkRecord(library, name);
        module->name = record.moduleName ? record.moduleName : "";
        module->entry = reinterpret_cast<HostModuleEntry>(dlsym(library, kEntrySymbol));
        if (!module->entry) {
            throw HostError(name + ": not a module: it does not export " + kEntrySymbol);
        }
    } catch (const HostError&) {
        dlclose(library);
        throw;
    }

    const std::string folder = path.parent_path().string();
    auto* table = const_cast<HostInterface*>(&hostInterfaceTable());
    const std::int32_t initialised =
        call(app, *module, HOST_REQUEST_INITIALISE, table, const_cast<char*>(folder.c_str()));
    if (initialised != 1) {
        endAndClose(app, *module, false);
        throw HostError(name + ": the module refused " + requestName(HOST_REQUEST_INITIALISE) + " (answer " +
                        std::to_string(initialised) + ")");
    }
    const std::int32_t loaded =
        call(app, *module, HOST_REQUEST_MESSAGE, messageId(kModuleMessageLoadResources), nullptr);
    const std::int32_t started = loaded == 1 ? call(app, *module, HOST_REQUEST_START, nullptr, nullptr) : 0;
    if (loaded != 1 || started != 1) {
        endAndClose(app, *module, true);
        const std::int32_t request = loaded != 1 ? HOST_REQUEST_MESSAGE : HOST_REQUEST_START;
        throw HostError(name + ": the module failed " + requestName(request) + " (answer " +
                        std::to_string(loaded != 1 ? loaded : started) + ")");
    }
    app.modules().push_back(std::move(module));
}

void endModules(Application& app) {
    app.removeAllNodes();
    auto& modules = app.modules();
    while (!modules.empty()) {
        endAndClose(app, *modules.back(), true);
        modules.pop_back();
    }
    app.clearHelpHooks();
    app.strings().clear();
    app.descriptions().clear();
    registerHostTypes(app.types(), app.descriptions());
    app.setResourceFolder({});
}

void unloadModules() {
    endModules(application());
}

std::vector<std::filesystem::path> loadedModules() {
    std::vector<std::filesystem::path> files;
    for (const auto& module : application().modules()) {
        files.push_back(module->file);
    }
    return files;
}

std::filesystem::path defaultModulePath() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        throw HostError("cannot find the running program (/proc/self/exe): " + error.message());
    }
    return program.parent_path() / "plugins" / "caelo" / "caelo.so";
}

} // namespace caelo::host
