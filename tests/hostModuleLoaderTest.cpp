// Loading modules: refusals that name the file, and the real module.
#include "host/evaluation.h"
#include "host/loading/moduleLoader.h"
#include "host/sceneEditing.h"
#include "host/services/hostError.h"
#include "tests/hostTestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace caelo::host {
namespace {

using HostModuleLoaderTest = testing::HostTest;

constexpr std::int32_t kFirstModuleType = 1032493;
constexpr std::int32_t kLastModuleType = 1032501;

std::string loadError(const std::filesystem::path& file) {
    try {
        loadModule(file);
    } catch (const HostError& error) {
        return error.what();
    }
    return {};
}

void requireModule() {
    if (!std::filesystem::exists(CAELO_TEST_MODULE_PATH)) {
        GTEST_SKIP() << "the module is not built: " << CAELO_TEST_MODULE_PATH;
    }
}

TEST_F(HostModuleLoaderTest, FilesThatAreNoModulesAreRefusedByName) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::filesystem::path missing = folder / "caelo-no-such-module.so";
    EXPECT_NE(loadError(missing).find(missing.string()), std::string::npos);

    const std::filesystem::path text = folder / ("caelo-text-" + std::to_string(getpid()) + ".so");
    std::ofstream(text) << "not a library\n";
    const std::string textError = loadError(text);
    std::filesystem::remove(text);
    EXPECT_NE(textError.find(text.string() + ": cannot load the module"), std::string::npos) << textError;

    const std::filesystem::path library = "/lib/x86_64-linux-gnu/libm.so.6";
    if (std::filesystem::exists(library)) {
        EXPECT_NE(loadError(library).find("does not export g_privateBinary"), std::string::npos);
    }
    EXPECT_TRUE(loadedModules().empty());
}

TEST_F(HostModuleLoaderTest, TheModuleRegistersItsNineTypesWithNamesAndDescriptions) {
    requireModule();
    loadModule(CAELO_TEST_MODULE_PATH);
    ASSERT_EQ(loadedModules().size(), 1u);
    for (std::int32_t id = kFirstModuleType; id <= kLastModuleType; ++id) {
        const NodeType* type = application().findType(id);
        ASSERT_NE(type, nullptr) << id;
        EXPECT_TRUE(type->nodeClass.has_value()) << id;
        EXPECT_FALSE(type->displayName.empty()) << id;
        EXPECT_NE(type->icon, nullptr) << id;
        EXPECT_NE(application().descriptions().find(type->descriptionName), nullptr) << type->descriptionName;
    }
    EXPECT_EQ(application().findType(kFirstModuleType)->flags, 0x8800);
    EXPECT_EQ(application().findType(kLastModuleType)->kind, NodeKind::Tag);

    std::vector<std::string> lines;
    application().setTextSink([&lines](std::string_view line) { lines.emplace_back(line); });
    EXPECT_TRUE(requestHelp(kFirstModuleType, "OATOM"));
    EXPECT_FALSE(requestHelp(kFirstModuleType, "OTHER"));
    EXPECT_EQ(lines.size(), 1u);

    Node& system = createObject(application(), kFirstModuleType);
    appendChild(document(), system, nullptr);
    evaluateDocument(document());
    EXPECT_TRUE(system.parameters.getDateTime(1004).has_value())
        << "the system writes its date when evaluated";

    unloadModules();
    EXPECT_TRUE(loadedModules().empty());
    EXPECT_EQ(application().findType(kFirstModuleType), nullptr);
    EXPECT_EQ(application().nodeCount(), 0u) << "every node went before the module";
}

TEST_F(HostModuleLoaderTest, AFailedStartNamesTheRequestAndForgetsTheModulesTypes) {
    requireModule();
    application().faults().failCall("RegisterObjectType", 3);
    const std::string error = loadError(CAELO_TEST_MODULE_PATH);
    EXPECT_NE(error.find(std::string(CAELO_TEST_MODULE_PATH) + ": the module failed request 2 (start)"),
              std::string::npos)
        << error;
    EXPECT_EQ(application().findType(kFirstModuleType), nullptr);
    EXPECT_TRUE(loadedModules().empty());

    loadModule(CAELO_TEST_MODULE_PATH);
    EXPECT_NE(application().findType(kLastModuleType), nullptr) << "the module loads again afterwards";
    EXPECT_NE(loadError(CAELO_TEST_MODULE_PATH).find("the module is loaded already"), std::string::npos);
    std::vector<std::string> lines;
    application().setTextSink([&lines](std::string_view line) { lines.emplace_back(line); });
    EXPECT_TRUE(requestHelp(kFirstModuleType, "OATOM")) << "the loaded module still answers for help";
}

TEST_F(HostModuleLoaderTest, MissingResourcesFailTheLoadWithTheFileNamed) {
    requireModule();
    std::vector<std::string> lines;
    application().setTextSink([&lines](std::string_view line) { lines.emplace_back(line); });
    application().faults().failCall("LoadModuleResources");
    const std::string error = loadError(CAELO_TEST_MODULE_PATH);
    EXPECT_NE(error.find("request 6 (message 1: load resources)"), std::string::npos) << error;
}

TEST(HostModulePath, DefaultModuleLiesBesideTheProgram) {
    const std::filesystem::path path = defaultModulePath();
    EXPECT_EQ(path.filename(), "caelo.so");
    EXPECT_EQ(path.parent_path().filename(), "caelo");
    EXPECT_EQ(path.parent_path().parent_path().filename(), "plugins");
}

} // namespace
} // namespace caelo::host
