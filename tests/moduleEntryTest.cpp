// The module entry and the registration of its node types, driven through
// `c4d_main` of the built module with a recording host table.
#include "tests/fakeModuleHost.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace caelo::fake {
namespace {

constexpr char kFolder[] = "/modules/caelo";
constexpr char kHelpLine[] =
    "If you implement custom object help, please use something better than GeOutString.";

class ModuleEntry : public ::testing::Test {
protected:
    void SetUp() override {
        current = &host;
        ASSERT_TRUE(module.isLoaded()) << dlerror();
    }
    // Balances the initialise requests, so that the module's state is back
    // at rest before it is closed.
    void TearDown() override {
        for (; initialised > 0; --initialised) {
            module.call(HOST_REQUEST_END);
        }
        current = nullptr;
    }

    int32_t initialise(FakeHost& table, const char* folder = kFolder) {
        const int32_t result = module.initialise(table, folder);
        if (result == 1) {
            ++initialised;
        }
        return result;
    }
    int32_t end() {
        --initialised;
        return module.call(HOST_REQUEST_END);
    }
    int32_t start() { return module.call(HOST_REQUEST_START); }

    FakeHost host;
    LoadedModule module;
    int initialised = 0;
};

TEST_F(ModuleEntry, ExportsItsModuleRecord) {
    const auto* record = static_cast<const HostModuleRecord*>(module.symbol("g_privateBinary"));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(std::string(record->signature, sizeof record->signature), HOST_MODULE_SIGNATURE);
    EXPECT_EQ(record->interfaceVersion, HOST_INTERFACE_VERSION);
}

TEST_F(ModuleEntry, AnswersQueryAndUnknownRequestsWithoutInitialising) {
    int anything = 0;
    EXPECT_EQ(module.call(HOST_REQUEST_QUERY), 5);
    EXPECT_EQ(module.call(HOST_REQUEST_QUERY, &anything, &anything, &anything), 5);
    for (int32_t request : {0, 5, 7, 100, -1}) {
        EXPECT_EQ(module.call(request, &anything, &anything, &anything), -1) << "request " << request;
    }
}

// Refused initialise requests and an end request without a matching
// initialise must leave nothing counted: each used to keep the next initialise
// from setting up, so that start ran without a host table.
TEST_F(ModuleEntry, RefusedOrUnmatchedRequestsLeaveTheModuleReadyToInitialise) {
    FakeHost old;
    old.table.version = HOST_INTERFACE_MIN_VERSION - 1;
    EXPECT_EQ(initialise(old), -3);
    EXPECT_EQ(initialise(host, ""), -3);
    EXPECT_EQ(initialise(host, nullptr), -3);
    EXPECT_EQ(module.call(HOST_REQUEST_INITIALISE, nullptr, nullptr, const_cast<char*>(kFolder)), -3);
    EXPECT_EQ(module.call(HOST_REQUEST_END), 1);
    EXPECT_EQ(start(), 0);
    EXPECT_TRUE(host.registrations.empty());

    EXPECT_EQ(initialise(host), 1);
    EXPECT_EQ(start(), 1);
    EXPECT_EQ(host.registrations.size(), 9u);
}

inline bool secondTableUsed = false;

TEST_F(ModuleEntry, KeepsTheFirstTableUntilTheLastEnd) {
    FakeHost second;
    second.table.LoadModuleResources = [](const char*) { return secondTableUsed = true; };
    second.table.RegisterHelpHook = [](int32_t, HostHelpHook) { return secondTableUsed = true; };

    ASSERT_EQ(initialise(host), 1);
    EXPECT_EQ(initialise(second), 1);
    EXPECT_EQ(module.message(1), 1);
    EXPECT_EQ(start(), 1);
    EXPECT_FALSE(secondTableUsed);
    EXPECT_EQ(host.registrations.size(), 9u);

    // The first end only counts down: the table stays in use.
    EXPECT_EQ(end(), 1);
    EXPECT_EQ(module.message(1), 1);
    EXPECT_EQ(host.resourceFolders.size(), 2u);

    // The last end releases it: nothing reaches the host any more.
    EXPECT_EQ(end(), 1);
    EXPECT_EQ(module.message(1), -1);
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(host.resourceFolders.size(), 2u);
    EXPECT_EQ(host.registrations.size(), 9u);
    EXPECT_FALSE(secondTableUsed);
}

TEST_F(ModuleEntry, AnswersMessagesByTheLow32BitsOfTheIdentifier) {
    ASSERT_EQ(initialise(host), 1);
    struct Case {
        intptr_t id;
        int32_t result;
    };
    const Case cases[] = {
        {0, 1},
        {1001, 1},
        {2, -1},
        {1000, -1},
        {-1, -1},
        {(intptr_t{1} << 32) | 1001, 1},
        {1, 1}, // loads the resources
        {(intptr_t{1} << 32) | 1, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(module.message(c.id), c.result) << "message " << c.id;
    }
    EXPECT_EQ(host.resourceFolders, (std::vector<std::string>{"/modules/caelo/res", "/modules/caelo/res"}));

    host.resourcesLoad = false;
    EXPECT_EQ(module.message(1), -1);
}

TEST_F(ModuleEntry, RegistersTheNineTypesInTableOrder) {
    struct Row {
        bool isTag;
        int32_t id;
        int32_t nameId;
        int32_t flags;
        const char* description;
        const char* icon;
    };
    const Row rows[] = {
        {false, 1032493, 10000, 0x8800, "OcaeloSystem", "caeloSystem.tif"},
        {false, 1032494, 10001, 0x8800, "OcaeloOrbitAxis", "caeloOrbitAxis.tif"},
        {false, 1032495, 10002, 0x8800, "OcaeloBodyAxis", "caeloBodyAxis.tif"},
        {true, 1032497, 10003, 9, "TcaeloOrbitPlane", "caeloOrbitPlane.tif"},
        {true, 1032496, 10004, 9, "TcaeloOrbit", "caeloOrbit.tif"},
        {true, 1032498, 10005, 9, "TcaeloOrbitPlaneS", "caeloOrbitPlaneS.tif"},
        {true, 1032499, 10006, 9, "TcaeloEquatPlane", "caeloEquatPlane.tif"},
        {true, 1032501, 10008, 9, "TattitudeCtrl", "attitudeCtrl.tif"},
        {true, 1032500, 10007, 9, "TcaeloRing", "caeloRing.tif"},
    };
    ASSERT_EQ(initialise(host), 1);
    ASSERT_EQ(module.message(1), 1);
    ASSERT_EQ(start(), 1);

    ASSERT_EQ(host.registrations.size(), std::size(rows));
    ASSERT_EQ(host.helpHookIds.size(), std::size(rows));
    ASSERT_EQ(host.iconPaths.size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        const Registration& got = host.registrations[i];
        SCOPED_TRACE(row.description);
        EXPECT_EQ(host.helpHookIds[i], row.id);
        EXPECT_EQ(got.isTag, row.isTag);
        EXPECT_EQ(got.id, row.id);
        EXPECT_EQ(got.name, "text " + std::to_string(row.nameId));
        EXPECT_EQ(got.flags, row.flags);
        EXPECT_EQ(got.description, row.description);
        EXPECT_EQ(got.level, 0);
        EXPECT_NE(got.icon, nullptr);
        EXPECT_EQ(host.iconPaths[i], std::string(kFolder) + "/res/" + row.icon);
        // Objects are evaluated as objects, tags as tags.
        EXPECT_EQ(got.nodeClass.evaluateObject != nullptr, !row.isTag);
        EXPECT_EQ(got.nodeClass.addToEvaluation != nullptr, !row.isTag);
        EXPECT_EQ(got.nodeClass.evaluateTag != nullptr, row.isTag);
    }
    // The module lets go of every icon it loaded.
    EXPECT_EQ(host.iconsReleased, host.iconsLoaded);
}

// A refusal stops the start: the types before it stay registered, nothing
// after it is attempted, and a refused help hook registers nothing of its type.
TEST_F(ModuleEntry, StopsAtTheFirstRefusal) {
    struct Case {
        const char* what;
        std::set<int32_t> refusedHelpHooks;
        std::set<int32_t> refusedRegistrations;
        size_t helpHooks, iconsLoaded, registrations;
    };
    const Case cases[] = {
        {"body axis registration", {}, {1032495}, 3, 3, 3},
        {"orbit plane help hook", {1032497}, {}, 4, 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeHost refusing;
        current = &refusing;
        refusing.refusedHelpHooks = c.refusedHelpHooks;
        refusing.refusedRegistrations = c.refusedRegistrations;
        ASSERT_EQ(initialise(refusing), 1);
        EXPECT_EQ(start(), 0);
        EXPECT_EQ(refusing.helpHookIds.size(), c.helpHooks);
        EXPECT_EQ(refusing.iconPaths.size(), c.iconsLoaded);
        EXPECT_EQ(refusing.iconsReleased, static_cast<int>(c.iconsLoaded));
        ASSERT_EQ(refusing.registrations.size(), c.registrations);
        EXPECT_EQ(refusing.registrations[0].id, 1032493);
        EXPECT_EQ(refusing.registrations[1].id, 1032494);
        EXPECT_EQ(end(), 1);
    }
}

TEST_F(ModuleEntry, RegistersWithoutStringTableOrIcon) {
    host.missingIcons = {"caeloRing.tif"};
    ASSERT_EQ(initialise(host), 1);
    ASSERT_EQ(start(), 1); // no message 1: the string table is not loaded
    ASSERT_EQ(host.registrations.size(), 9u);
    for (const Registration& registration : host.registrations) {
        EXPECT_EQ(registration.name, "") << registration.description;
        EXPECT_EQ(registration.icon == nullptr, registration.id == 1032500) << registration.description;
    }
    EXPECT_EQ(host.iconsReleased, 8);
}

TEST_F(ModuleEntry, HelpHookAnswersOnlyTheObjectTopic) {
    ASSERT_EQ(initialise(host), 1);
    ASSERT_EQ(start(), 1);
    ASSERT_NE(host.helpHook, nullptr);
    EXPECT_FALSE(host.helpHook("Ocube"));
    EXPECT_FALSE(host.helpHook("oatom"));
    EXPECT_TRUE(host.outputLines.empty());
    EXPECT_TRUE(host.helpHook("OATOM"));
    EXPECT_EQ(host.outputLines, std::vector<std::string>{kHelpLine});
}

TEST_F(ModuleEntry, FactoriesUseTheHostAllocator) {
    ASSERT_EQ(initialise(host), 1);
    ASSERT_EQ(start(), 1);
    auto* node = reinterpret_cast<HostNode*>(&host);
    for (const Registration& registration : host.registrations) {
        SCOPED_TRACE(registration.description);
        host.allocationFails = true;
        EXPECT_EQ(registration.nodeClass.allocate(node), nullptr);

        host.allocationFails = false;
        void* instance = registration.nodeClass.allocate(node);
        ASSERT_NE(instance, nullptr);
        EXPECT_EQ(host.liveInstances.size(), 1u);
        EXPECT_TRUE(registration.nodeClass.initNode(instance, node));
        registration.nodeClass.destroy(instance);
        EXPECT_TRUE(host.liveInstances.empty());
        EXPECT_EQ(host.dateValuesLive, 0);
    }
}

TEST_F(ModuleEntry, SystemDestructorTellsTheActiveDocumentToDropLinks) {
    ASSERT_EQ(initialise(host), 1);
    ASSERT_EQ(start(), 1);
    const HostNodeClass& system = host.registrations.at(0).nodeClass;
    auto* node = reinterpret_cast<HostNode*>(&host);

    system.destroy(system.allocate(node));
    EXPECT_TRUE(host.broadcasts.empty()) << "no active document: no broadcast";

    host.activeDocument = reinterpret_cast<HostDocument*>(&host.parameters);
    system.destroy(system.allocate(node));
    EXPECT_EQ(host.broadcasts, std::vector<int32_t>{HOST_MSG_REFRESH_LINKS});
}

} // namespace
} // namespace caelo::fake
