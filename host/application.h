// The host's process-wide state. The C interface table carries no context, so
// there is one host per process: the registry of node types, the store of
// every node, the active document, the loaded resources and modules, the text
// output and the fault plan.
//
// Example:
//   caelo::host::HostSession session;                // host types registered
//   caelo::host::loadModule(caelo::host::defaultModulePath());
//   auto& document = caelo::host::application().activeDocument();
#ifndef CAELO_HOST_APPLICATION_H
#define CAELO_HOST_APPLICATION_H

#include "host/description.h"
#include "host/faultPlan.h"
#include "host/nodeStore.h"
#include "host/registry.h"
#include "host/resources.h"
#include "host/scene.h"
#include "interface/hostInterface.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace caelo::host {

// Receives each line of the host's text output (without a line break).
using TextSink = std::function<void(std::string_view line)>;

// A module library the host has loaded.
struct LoadedModule {
    std::filesystem::path file;
    void* library = nullptr;         // the dlopen handle
    HostModuleEntry entry = nullptr; // its c4d_main
    std::string name;                // from its g_privateBinary
};

class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    ~Application();

    // ---------------------------------------------------------------- types
    [[nodiscard]] TypeRegistry& types() { return types_; }
    // Registered type or nullptr.
    [[nodiscard]] const NodeType* findType(std::int32_t id) const { return types_.find(id); }

    // ------------------------------------------------------------ resources
    [[nodiscard]] StringTable& strings() { return strings_; }
    [[nodiscard]] DescriptionTable& descriptions() { return descriptions_; }
    // The folder of the last successful LoadModuleResources; relative icon
    // paths are looked up there.
    [[nodiscard]] const std::filesystem::path& resourceFolder() const { return resourceFolder_; }
    void setResourceFolder(std::filesystem::path folder) { resourceFolder_ = std::move(folder); }

    // ------------------------------------------------------------ documents
    // The active document; a new empty one is made when there is none.
    [[nodiscard]] Document& activeDocument();
    // The active document or nullptr (as the C interface answers it).
    [[nodiscard]] Document* activeDocumentIfAny() const { return active_.get(); }
    // Replaces the active document by a new empty one; the old one is removed
    // with all its nodes.
    Document& newDocument();
    // Makes a document the active one; the old one is removed with its nodes.
    Document& adoptDocument(std::unique_ptr<Document> document);

    // ---------------------------------------------------------------- nodes
    // Every living node by identity (in or outside documents), or nullptr.
    [[nodiscard]] Node* findNode(NodeId id) const;
    [[nodiscard]] std::size_t nodeCount() const { return nodes_.size(); }
    // How many nodes have left the store since start-up. While it stays the
    // same, every node a caller took the address of is still alive.
    [[nodiscard]] std::uint64_t nodesRemoved() const { return nodes_.removedCount(); }
    // The store that owns every node.
    [[nodiscard]] NodeStore& nodes() { return nodes_; }

    // ---------------------------------------------------------- text output
    // One line to the text output: standard output unless a sink is set.
    void outputText(std::string_view line) const;
    // Replaces the text output; an empty function restores standard output.
    void setTextSink(TextSink sink) { sink_ = std::move(sink); }

    // ----------------------------------------------------------- help hooks
    // Records a type's help hook as one of the current module's.
    void setHelpHook(std::int32_t typeId, HostHelpHook hook) { helpHooks_[typeId] = {hook, currentModule_}; }
    [[nodiscard]] HostHelpHook helpHook(std::int32_t typeId) const;
    // Forgets the hooks a module registered (nullptr: those registered outside
    // any module's entry).
    void removeHelpHooks(const void* module);
    void clearHelpHooks() { helpHooks_.clear(); }

    // ----------------------------------------------------------- test seams
    [[nodiscard]] FaultPlan& faults() { return faults_; }

    // The module being started or stopped, while its entry runs (types it
    // registers are recorded as its own); nullptr otherwise.
    [[nodiscard]] const void* currentModule() const { return currentModule_; }
    void setCurrentModule(const void* module) { currentModule_ = module; }

    // Modules in load order.
    [[nodiscard]] std::vector<std::unique_ptr<LoadedModule>>& modules() { return modules_; }

    // Removes every document and every node outside documents (destroying
    // their class instances). Types, resources and modules stay.
    void removeAllNodes();

    // Back to the state after start-up: removes every node, ends and unloads
    // the modules, forgets registered types (but the host's own), resources,
    // help hooks and planned faults. The text sink stays.
    void shutdown();

private:
    DescriptionTable descriptions_; // before the types, which refer to it
    TypeRegistry types_{descriptions_};
    StringTable strings_;
    std::filesystem::path resourceFolder_;
    NodeStore nodes_;
    std::unique_ptr<Document> active_;
    TextSink sink_;
    struct HelpHook {
        HostHelpHook hook = nullptr;
        const void* module = nullptr;
    };
    std::map<std::int32_t, HelpHook> helpHooks_;
    FaultPlan faults_;
    const void* currentModule_ = nullptr;
    std::vector<std::unique_ptr<LoadedModule>> modules_;
};

// The host of this process. The first call registers the host's own node
// types and their descriptions.
[[nodiscard]] Application& application();

// Asks the help hook registered for a type; false when there is none or the
// hook declines. `typeName` is the name the hook compares (e.g. "OATOM").
bool requestHelp(std::int32_t typeId, const std::string& typeName);

// Shuts the host down: removes every node while the modules are still loaded,
// ends and unloads the modules, forgets their types and resources.
void shutdownHost();

// Starts the host on construction and shuts it down on destruction.
class HostSession {
public:
    HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;
    ~HostSession();
};

} // namespace caelo::host

#endif
