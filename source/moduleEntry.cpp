/*
 * The module entry and the registration of the nine node types.
 *
 * The host drives the module through c4d_main: initialise (keeps the host
 * interface table and the module's folder), start (registers the node types),
 * message (loads the resources on message 1) and end. The module also
 * exports g_privateBinary, the record the host checks when it loads the file.
 */
#include "model/moduleIds.h"
#include "source/hostApi.h"
#include "source/nodeData.h"
#include "source/objCaeloBodyAxis.h"
#include "source/objCaeloOrbitAxis.h"
#include "source/objCaeloSystem.h"
#include "source/tagAttitudeCtrl.h"
#include "source/tagCaeloEquatPlane.h"
#include "source/tagCaeloOrbit.h"
#include "source/tagCaeloOrbitPlane.h"
#include "source/tagCaeloOrbitPlaneS.h"
#include "source/tagCaeloRing.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#define CAELO_EXPORT extern "C" __attribute__((visibility("default")))

CAELO_EXPORT const HostModuleRecord g_privateBinary;
CAELO_EXPORT int32_t c4d_main(int32_t request, void* first, void* second, void* third);

const HostModuleRecord g_privateBinary = {
    {'C', 'A', 'E', 'L', 'O', 'M', 'O', 'D'},
    HOST_INTERFACE_VERSION,
    "caelo",
};

namespace caelo {

namespace {

/* Results of c4d_main. */
constexpr int32_t kResultOk = 1;
constexpr int32_t kResultFailed = 0;
constexpr int32_t kResultUnknown = -1;
constexpr int32_t kResultBadSetup = -3;
constexpr int32_t kQueryAnswer = 5;

/* Host messages the module answers. */
constexpr int32_t kMessageNone = 0;
constexpr int32_t kMessageLoadResources = 1;
constexpr int32_t kMessageIdle = 1001;

/* Host flags of the registered types, passed on unchanged. */
constexpr int32_t kObjectFlags = 0x8800;
constexpr int32_t kTagFlags = 9;

constexpr char kResourceFolder[] = "res";
constexpr double kIconScale = 1.0;
/* Room for the module's folder and the paths formed from it. */
constexpr size_t kPathCapacity = 4096;

/* The help topic that the help hook answers, and its line. */
constexpr char kHelpTopic[] = "OATOM";
constexpr char kHelpLine[] =
    "If you implement custom object help, please use something better than GeOutString.";

/* Module-wide state from the first initialise request to the last end
 * request. */
int32_t initialiseCount = 0;
char moduleFolder[kPathCapacity] = "";

enum class NodeKind { Object, Tag };

/* One row of the registration table. */
struct NodeTypeRegistration {
    NodeKind kind;
    int32_t pluginId;
    int32_t nameId;
    int32_t flags;
    const char* description;
    const char* iconFile;
    const HostNodeClass* nodeClass;
};

/* The node types in the order in which they are registered. */
constexpr NodeTypeRegistration kRegistrations[] = {
    {NodeKind::Object, kTypeCaeloSystem, 10000, kObjectFlags, "OcaeloSystem", "caeloSystem.tif",
     &NodeClassOf<ObjCaeloSystem>},
    {NodeKind::Object, kTypeCaeloOrbitAxis, 10001, kObjectFlags, "OcaeloOrbitAxis", "caeloOrbitAxis.tif",
     &NodeClassOf<ObjCaeloOrbitAxis>},
    {NodeKind::Object, kTypeCaeloBodyAxis, 10002, kObjectFlags, "OcaeloBodyAxis", "caeloBodyAxis.tif",
     &NodeClassOf<ObjCaeloBodyAxis>},
    {NodeKind::Tag, kTypeCaeloOrbitPlane, 10003, kTagFlags, "TcaeloOrbitPlane", "caeloOrbitPlane.tif",
     &NodeClassOf<TagCaeloOrbitPlane>},
    {NodeKind::Tag, kTypeCaeloOrbit, 10004, kTagFlags, "TcaeloOrbit", "caeloOrbit.tif",
     &NodeClassOf<TagCaeloOrbit>},
    {NodeKind::Tag, kTypeCaeloOrbitPlaneS, 10005, kTagFlags, "TcaeloOrbitPlaneS", "caeloOrbitPlaneS.tif",
     &NodeClassOf<TagCaeloOrbitPlaneS>},
    {NodeKind::Tag, kTypeCaeloEquatPlane, 10006, kTagFlags, "TcaeloEquatPlane", "caeloEquatPlane.tif",
     &NodeClassOf<TagCaeloEquatPlane>},
    {NodeKind::Tag, kTypeAttitudeCtrl, 10008, kTagFlags, "TattitudeCtrl", "attitudeCtrl.tif",
     &NodeClassOf<TagAttitudeCtrl>},
    {NodeKind::Tag, kTypeCaeloRing, 10007, kTagFlags, "TcaeloRing", "caeloRing.tif",
     &NodeClassOf<TagCaeloRing>},
};

/* Forms "<module folder>/res[/<file>]" in a buffer; false when it does not
 * fit. */
bool FormResourcePath(char (&path)[kPathCapacity], const char* file) {
    const int length =
        file == nullptr ? std::snprintf(path, sizeof path, "%s/%s", moduleFolder, kResourceFolder)
                        : std::snprintf(path, sizeof path, "%s/%s/%s", moduleFolder, kResourceFolder, file);
    return length >= 0 && static_cast<size_t>(length) < sizeof path;
}

bool HelpHook(const char* typeName) {
    if (typeName == nullptr || std::strcmp(typeName, kHelpTopic) != 0) {
        return false;
    }
    OutputText(kHelpLine);
    return true;
}

/* Registers one node type: its help hook first (a refusal registers nothing
 * else), then the type with its display name and icon. A missing icon
 * registers the type without one; a missing string table gives an empty
 * name. */
bool RegisterNodeType(const NodeTypeRegistration& row) {
    if (!RegisterHelpHook(row.pluginId, &HelpHook)) {
        return false;
    }
    char iconPath[kPathCapacity];
    HostBitmap* icon = FormResourcePath(iconPath, row.iconFile) ? LoadIcon(iconPath, kIconScale) : nullptr;
    const char* name = LoadResourceString(row.nameId);
    const bool registered =
        row.kind == NodeKind::Object
            ? RegisterObjectType(row.pluginId, name, row.flags, *row.nodeClass, row.description, icon)
            : RegisterTagType(row.pluginId, name, row.flags, *row.nodeClass, row.description, icon);
    if (icon != nullptr) {
        ReleaseIcon(icon); /* the host keeps its own copy */
    }
    return registered;
}

/* Registers the node types in table order and stops at the first failure;
 * the types registered before it stay registered. */
bool ModuleStart() {
    if (!HasHost()) {
        return false;
    }
    for (const NodeTypeRegistration& row : kRegistrations) {
        if (!RegisterNodeType(row)) {
            return false;
        }
    }
    return true;
}

void ModuleEnd() {}

bool ModuleMessage(int32_t id, void* /*data*/) {
    switch (id) {
    case kMessageNone:
    case kMessageIdle:
        return true;
    case kMessageLoadResources: {
        char folder[kPathCapacity];
        return HasHost() && FormResourcePath(folder, nullptr) && LoadModuleResources(folder);
    }
    default:
        return false;
    }
}

/* Keeps the host table and the module folder; false, with nothing kept,
 * when the table is missing or too old or the folder is empty or too long. */
bool SetUpModuleState(const HostInterface* host, const char* folder) {
    if (host == nullptr || host->version < HOST_INTERFACE_MIN_VERSION || folder == nullptr ||
        folder[0] == '\0' || std::strlen(folder) >= sizeof moduleFolder) {
        return false;
    }
    std::strcpy(moduleFolder, folder);
    g_hostInterface = host;
    return true;
}

void ReleaseModuleState() {
    g_hostInterface = nullptr;
    moduleFolder[0] = '\0';
}

int32_t Initialise(void* hostTable, void* folder) {
    ++initialiseCount;
    if (initialiseCount != 1) {
        return kResultOk;
    }
    if (!SetUpModuleState(static_cast<const HostInterface*>(hostTable), static_cast<const char*>(folder))) {
        /* Undo the count, so that a later initialise request sets the module
         * up instead of finding it counted but without a host table. */
        --initialiseCount;
        return kResultBadSetup;
    }
    return kResultOk;
}

int32_t End() {
    /* An end request without a matching initialise changes nothing. */
    if (initialiseCount <= 0) {
        return kResultOk;
    }
    --initialiseCount;
    if (initialiseCount == 0) {
        ModuleEnd();
        ReleaseModuleState();
    }
    return kResultOk;
}

} // namespace

} // namespace caelo

int32_t c4d_main(int32_t request, void* first, void* second, void* third) {
    using namespace caelo;
    switch (request) {
    case HOST_REQUEST_INITIALISE:
        return Initialise(first, third);
    case HOST_REQUEST_START:
        return ModuleStart() ? kResultOk : kResultFailed;
    case HOST_REQUEST_END:
        return End();
    case HOST_REQUEST_QUERY:
        return kQueryAnswer;
    case HOST_REQUEST_MESSAGE: {
        /* The message id travels in the low 32 bits of the first argument. */
        const auto id = static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(first)));
        return ModuleMessage(id, second) ? kResultOk : kResultUnknown;
    }
    default:
        return kResultUnknown;
    }
}
