#include "host/application.h"

#include "host/hostInternal.h"
#include "host/hostTypes.h"
#include "host/sceneEditing.h"
#include "host/treeEdits.h"

#include <cstdio>

namespace caelo::host {

namespace {

// Destructors of free nodes could make new free nodes; the sweep gives up
// after this many rounds.
constexpr int kMaxSweepRounds = 100;

} // namespace

Application::Application() {
    registerHostTypes(types_, descriptions_);
}

Application::~Application() = default;

Document& Application::activeDocument() {
    if (!active_) {
        active_ = createDocument(*this);
    }
    return *active_;
}

Document& Application::newDocument() {
    return adoptDocument(createDocument(*this));
}

Document& Application::adoptDocument(std::unique_ptr<Document> document) {
    std::unique_ptr<Document> old = std::move(active_);
    active_ = std::move(document);
    old.reset();
    return *active_;
}

Node* Application::findNode(NodeId id) const {
    return nodes_.find(id);
}

void Application::outputText(std::string_view line) const {
    if (sink_) {
        sink_(line);
        return;
    }
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

HostHelpHook Application::helpHook(std::int32_t typeId) const {
    const auto it = helpHooks_.find(typeId);
    return it == helpHooks_.end() ? nullptr : it->second.hook;
}

void Application::removeHelpHooks(const void* module) {
    std::erase_if(helpHooks_, [module](const auto& entry) { return entry.second.module == module; });
}

void Application::removeAllNodes() {
    std::unique_ptr<Document> old = std::move(active_);
    old.reset();
    std::vector<NodeId> tops;
    for (int round = 0; round < kMaxSweepRounds && !nodes_.empty(); ++round) {
        tops.clear();
        nodes_.forEach([&](const Node& node) {
            if (!node.isAttached() && !node.document()) {
                tops.push_back(node.id());
            }
        });
        if (tops.empty()) {
            break;
        }
        for (const NodeId id : tops) {
            if (Node* node = findNode(id); node && !node->isAttached()) {
                TreeEditor::destroy(nodes_, *node);
            }
        }
    }
}

void Application::shutdown() {
    endModules(*this);
    removeAllNodes();
    types_.clear();
    descriptions_.clear();
    registerHostTypes(types_, descriptions_);
    faults_.clear();
}

Application& application() {
    // Made once and never destroyed: shutdownHost ends everything in order, and
    // no static destructor runs module code after its library is gone.
    static Application* const instance = new Application();
    return *instance;
}

bool requestHelp(std::int32_t typeId, const std::string& typeName) {
    const HostHelpHook hook = application().helpHook(typeId);
    return hook && hook(typeName.c_str());
}

void shutdownHost() {
    application().shutdown();
}

HostSession::HostSession() {
    static_cast<void>(application());
}

HostSession::~HostSession() {
    shutdownHost();
}

} // namespace caelo::host
