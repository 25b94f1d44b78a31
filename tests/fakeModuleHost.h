// A recording stand-in for the host interface table, for tests that drive the
// built module through `c4d_main` alone: it records registrations, help hooks,
// icon and resource requests, instance memory and parameter writes, and
// answers with configurable results. Only the operations these tests reach
// are filled in; the others stay null.
#ifndef CAELO_TESTS_FAKE_MODULE_HOST_H
#define CAELO_TESTS_FAKE_MODULE_HOST_H

#include "interface/hostInterface.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace caelo::fake {

struct Registration {
    bool isTag = false;
    int32_t id = 0;
    std::string name;
    int32_t flags = 0;
    HostNodeClass nodeClass{};
    std::string description;
    HostBitmap* icon = nullptr;
    int32_t level = -1;
};

// One stored parameter: its kind as written and its value.
struct StoredParameter {
    enum class Kind { Float, Int32, Bool, String, DateTime } kind = Kind::Float;
    double number = 0.0; // Float, Int32, Bool
    std::string text;    // String
    HostDateTime date{}; // DateTime
};

// The host's state; one instance is current while a test runs.
struct FakeHost {
    // Answers.
    std::set<int32_t> refusedHelpHooks;
    std::set<int32_t> refusedRegistrations;
    std::set<std::string> missingIcons; // file names whose LoadIcon answers none
    bool resourcesLoad = true;
    bool allocationFails = false;
    HostDocument* activeDocument = nullptr;

    // Records.
    std::vector<int32_t> helpHookIds;
    HostHelpHook helpHook = nullptr;
    std::vector<Registration> registrations;
    std::vector<std::string> resourceFolders;
    bool stringsLoaded = false;
    std::vector<std::string> iconPaths;
    int iconsLoaded = 0;
    int iconsReleased = 0;
    std::vector<std::string> outputLines;
    std::vector<void*> liveInstances;
    std::vector<int32_t> broadcasts; // message types broadcast to the active document
    std::map<int32_t, StoredParameter> parameters;
    int dateValuesLive = 0;

    HostInterface table{};

    FakeHost();
};

inline FakeHost* current = nullptr;

// Bitmaps are distinct dummy addresses.
inline char iconStorage[64];

inline std::string fileNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

inline FakeHost::FakeHost() {
    table.version = HOST_INTERFACE_VERSION;
    table.RegisterHelpHook = [](int32_t id, HostHelpHook hook) {
        current->helpHookIds.push_back(id);
        current->helpHook = hook;
        return current->refusedHelpHooks.count(id) == 0;
    };
    table.RegisterObjectType = [](int32_t id, const char* name, int32_t flags, const HostNodeClass* nodeClass,
                                  const char* description, HostBitmap* icon, int32_t level) {
        current->registrations.push_back({false, id, name, flags, *nodeClass, description, icon, level});
        return current->refusedRegistrations.count(id) == 0;
    };
    table.RegisterTagType = [](int32_t id, const char* name, int32_t flags, const HostNodeClass* nodeClass,
                               const char* description, HostBitmap* icon, int32_t level) {
        current->registrations.push_back({true, id, name, flags, *nodeClass, description, icon, level});
        return current->refusedRegistrations.count(id) == 0;
    };
    table.LoadModuleResources = [](const char* folder) {
        current->resourceFolders.push_back(folder);
        current->stringsLoaded = current->resourcesLoad;
        return current->resourcesLoad;
    };
    // Every id has a text once the resources are loaded: "text <id>".
    table.LoadResourceString = [](int32_t id) -> const char* {
        if (!current->stringsLoaded) {
            return "";
        }
        static std::string text;
        text = "text " + std::to_string(id);
        return text.c_str();
    };
    table.LoadIcon = [](const char* path, double) -> HostBitmap* {
        current->iconPaths.push_back(path);
        if (current->missingIcons.count(fileNameOf(path)) != 0) {
            return nullptr;
        }
        ++current->iconsLoaded;
        return reinterpret_cast<HostBitmap*>(&iconStorage[current->iconPaths.size() % sizeof iconStorage]);
    };
    table.ReleaseIcon = [](HostBitmap*) { ++current->iconsReleased; };
    table.AllocateInstance = [](size_t bytes) -> void* {
        if (current->allocationFails) {
            return nullptr;
        }
        void* memory = std::malloc(bytes);
        current->liveInstances.push_back(memory);
        return memory;
    };
    table.FreeInstance = [](void* memory) {
        std::erase(current->liveInstances, memory);
        std::free(memory);
    };
    table.OutputText = [](const char* line) { current->outputLines.push_back(line); };
    table.DefaultCopyNode = [](HostNode*, HostNode*) { return true; };
    table.BroadcastMessage = [](HostDocument* document, int32_t routing, int32_t type, void*) {
        if (document == current->activeDocument && routing == HOST_BROADCAST_ALL) {
            current->broadcasts.push_back(type);
        }
        return true;
    };
    table.GetActiveDocument = []() { return current->activeDocument; };
    table.GetDocument = [](HostNode*) -> HostDocument* { return nullptr; };

    // One parameter store, whatever the node: tests initialise one node at a time.
    table.GetParameterContainer = [](HostNode*) { return reinterpret_cast<HostContainer*>(current); };
    table.SetFloat = [](HostContainer*, int32_t id, double value) {
        current->parameters[id] = {StoredParameter::Kind::Float, value, {}, {}};
    };
    table.SetInt32 = [](HostContainer*, int32_t id, int32_t value) {
        current->parameters[id] = {StoredParameter::Kind::Int32, static_cast<double>(value), {}, {}};
    };
    table.SetBool = [](HostContainer*, int32_t id, bool value) {
        current->parameters[id] = {StoredParameter::Kind::Bool, value ? 1.0 : 0.0, {}, {}};
    };
    table.SetString = [](HostContainer*, int32_t id, const char* text) {
        current->parameters[id] = {StoredParameter::Kind::String, 0.0, text, {}};
    };
    table.NumberToText = [](double value, int32_t, int32_t digitsAfter, bool, char, char* buffer,
                            size_t capacity) -> size_t {
        return static_cast<size_t>(std::snprintf(buffer, capacity, "%.*e", digitsAfter, value));
    };

    // Dates: a fixed "now" and day numbers that count whole days from 2000-01-01.
    table.CurrentDateTime = []() { return HostDateTime{2024, 3, 1, 12, 0, 0}; };
    table.UniversalToLocal = [](HostDateTime universal) { return universal; };
    table.DateTimeToDayNumber = [](HostDateTime fields) { return 2451545.0 + fields.day; };
    table.DayNumberToDateTime = [](double) { return HostDateTime{2000, 1, 1, 0, 0, 0}; };
    table.CreateDateValue = []() {
        ++current->dateValuesLive;
        return reinterpret_cast<HostDateValue*>(new HostDateTime{});
    };
    table.SetDateValueFields = [](HostDateValue* value, const HostDateTime* fields, int32_t, int32_t) {
        *reinterpret_cast<HostDateTime*>(value) = *fields;
    };
    table.SetDateTime = [](HostContainer*, int32_t id, const HostDateValue* value, int32_t, int32_t) {
        current->parameters[id] = {
            StoredParameter::Kind::DateTime, 0.0, {}, *reinterpret_cast<const HostDateTime*>(value)};
        return true;
    };
    table.FreeDateValue = [](HostDateValue* value) {
        --current->dateValuesLive;
        delete reinterpret_cast<HostDateTime*>(value);
    };
}

// The built module, opened for one test and closed after it.
class LoadedModule {
public:
    LoadedModule() {
        handle_ = dlopen(CAELO_TEST_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        if (handle_ != nullptr) {
            entry_ = reinterpret_cast<HostModuleEntry>(dlsym(handle_, "c4d_main"));
        }
    }
    ~LoadedModule() {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    [[nodiscard]] bool isLoaded() const { return entry_ != nullptr; }
    [[nodiscard]] void* symbol(const char* name) const { return dlsym(handle_, name); }

    int32_t call(int32_t request, void* first = nullptr, void* second = nullptr,
                 void* third = nullptr) const {
        return entry_(request, first, second, third);
    }
    int32_t initialise(FakeHost& host, const char* folder) const {
        return call(HOST_REQUEST_INITIALISE, &host.table, nullptr, const_cast<char*>(folder));
    }
    int32_t message(intptr_t id, void* data = nullptr) const {
        return call(HOST_REQUEST_MESSAGE, reinterpret_cast<void*>(id), data);
    }

private:
    void* handle_ = nullptr;
    HostModuleEntry entry_ = nullptr;
};

} // namespace caelo::fake

#endif
