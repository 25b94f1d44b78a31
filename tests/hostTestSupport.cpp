#include "tests/hostTestSupport.h"

#include "host/description.h"
#include "host/sceneEditing.h"

#include <cstdio>
#include <new>

namespace caelo::host::testing {

namespace {

struct Instance {
    HostNode* node;
    std::int32_t priority;
};

const HostInterface& host() {
    return hostInterfaceTable();
}

std::string nameOf(HostNode* node) {
    const Node* n = fromHandle(node);
    return n ? n->name : "?";
}

template <std::int32_t Priority> void* allocate(HostNode* owner) {
    void* memory = host().AllocateInstance(sizeof(Instance));
    return memory ? new (memory) Instance{owner, Priority} : nullptr;
}

void destroy(void* instance) {
    auto* i = static_cast<Instance*>(instance);
    recorder().events.push_back("destroy " + nameOf(i->node));
    if (recorder().broadcastOnDestroy) {
        if (HostDocument* document = host().GetActiveDocument()) {
            host().BroadcastMessage(document, HOST_BROADCAST_ALL, HOST_MSG_REFRESH_LINKS, nullptr);
        }
    }
    i->~Instance();
    host().FreeInstance(instance);
}

bool initNode(void*, HostNode* node) {
    recorder().events.push_back("init " + nameOf(node));
    host().SetFloat(host().GetParameterContainer(node), kScale, 1.0);
    return true;
}

bool copyNode(void*, HostNode* source, HostNode* destination, void*) {
    recorder().events.push_back("copy " + nameOf(source));
    return !recorder().refuseCopy && host().DefaultCopyNode(source, destination);
}

std::string messageText(std::int32_t type, void* data) {
    char text[96];
    if ((type == HOST_MSG_PARAMETER_SET || type == HOST_MSG_BUTTON) && data) {
        const auto* m = static_cast<const HostParameterMessage*>(data);
        std::snprintf(text, sizeof text, "%d flags=%u id=%d", type, m->flags,
                      host().GetMessageParameterId(data, 0));
    } else if (type == HOST_MSG_HIERARCHY && data) {
        std::snprintf(text, sizeof text, "%d flags=%u", type,
                      static_cast<const HostHierarchyMessage*>(data)->flags);
    } else if (type == HOST_MSG_DOCUMENT && data) {
        std::snprintf(text, sizeof text, "%d kind=%d", type,
                      static_cast<const HostDocumentMessage*>(data)->kind);
    } else {
        std::snprintf(text, sizeof text, "%d", type);
    }
    return text;
}

bool handleMessage(void*, HostNode* node, std::int32_t type, void* data) {
    recorder().events.push_back("message " + nameOf(node) + " " + messageText(type, data));
    if (type == HOST_MSG_REFRESH_LINKS && recorder().removeSiblingOnRefresh == nameOf(node)) {
        recorder().removeSiblingOnRefresh.clear();
        if (Node* sibling = fromHandle(host().GetNextSibling(node))) {
            removeNode(application(), *sibling);
        }
    }
    return true;
}

bool isParameterEnabled(void*, HostNode*, std::int32_t id) {
    return id != kGreyed && id != kGreyedButton;
}

bool addToEvaluation(void* instance, HostNode* node, HostEvaluationList* list) {
    if (recorder().onOffer) {
        recorder().onOffer(*fromHandle(node));
    }
    host().EnrolEvaluation(list, node, static_cast<Instance*>(instance)->priority, 0);
    return true;
}

void notifyEvaluated(HostNode* node) {
    if (recorder().onEvaluate) {
        recorder().onEvaluate(*fromHandle(node));
    }
}

std::int32_t evaluateObject(void*, HostNode* node) {
    recorder().events.push_back("evaluate " + nameOf(node));
    notifyEvaluated(node);
    return 0;
}

std::int32_t evaluateTag(void*, HostNode* tag, HostDocument*, HostNode* object) {
    recorder().events.push_back("tag " + nameOf(tag) + " on " + nameOf(object));
    notifyEvaluated(tag);
    return 0;
}

template <std::int32_t Priority> HostNodeClass recordingClass() {
    return {allocate<Priority>, destroy,         initNode,       copyNode,   handleMessage,
            isParameterEnabled, addToEvaluation, evaluateObject, evaluateTag};
}

ParameterDescription parameter(std::int32_t id, const char* name, ParameterKind kind) {
    ParameterDescription p;
    p.id = id;
    p.name = name;
    p.label = name;
    p.kind = kind;
    return p;
}

Description recordingDescription() {
    Description d;
    d.name = "Trecording";
    ParameterDescription scale = parameter(kScale, "SCALE", ParameterKind::Float);
    scale.min = 0.0;
    scale.max = 10.0;
    ParameterDescription count = parameter(kCount, "COUNT", ParameterKind::Int32);
    count.min = 1.0;
    count.max = 5.0;
    ParameterDescription mode = parameter(kMode, "MODE", ParameterKind::Cycle);
    mode.cycle = {{1200, "First"}, {1201, "Second"}};
    ParameterDescription date = parameter(kDate, "DATE", ParameterKind::DateTime);
    date.readOnly = true;
    ParameterDescription ratio = parameter(kRatio, "RATIO", ParameterKind::NumberText);
    ratio.min = 0.0;
    ratio.max = 1.0;
    ParameterDescription offset = parameter(kOffset, "OFFSET", ParameterKind::Vector);
    offset.min = -1.0;
    offset.max = 1.0;
    d.parameters = {scale,
                    count,
                    mode,
                    parameter(kTarget, "TARGET", ParameterKind::Link),
                    parameter(kRefresh, "REFRESH", ParameterKind::Button),
                    date,
                    ratio,
                    offset,
                    parameter(kGreyed, "GREYED", ParameterKind::Float),
                    parameter(kGreyedButton, "GREYED_BUTTON", ParameterKind::Button)};
    return d;
}

} // namespace

std::vector<std::string> Recorder::matching(const std::string& prefix) const {
    std::vector<std::string> result;
    for (const std::string& e : events) {
        if (e.starts_with(prefix)) {
            result.push_back(e);
        }
    }
    return result;
}

Recorder& recorder() {
    static Recorder instance;
    return instance;
}

void registerRecordingTypes() {
    const HostNodeClass normal = recordingClass<2000>();
    const HostNodeClass early = recordingClass<1000>();
    const HostNodeClass late = recordingClass<3000>();
    ASSERT_TRUE(
        host().RegisterObjectType(kRecordingObject, "Recording", 0, &normal, "Trecording", nullptr, 0));
    ASSERT_TRUE(host().RegisterTagType(kRecordingTag, "Recording tag", 0, &normal, "Trecording", nullptr, 0));
    ASSERT_TRUE(host().RegisterObjectType(kEarlyObject, "Early", 0, &early, "Trecording", nullptr, 0));
    ASSERT_TRUE(host().RegisterObjectType(kLateObject, "Late", 0, &late, "Trecording", nullptr, 0));
    application().descriptions().add(recordingDescription());
}

void HostTest::SetUp() {
    shutdownHost();
    recorder() = Recorder{};
    registerRecordingTypes();
    application().newDocument();
}

void HostTest::TearDown() {
    shutdownHost();
    application().setTextSink({});
}

Node& HostTest::add(std::int32_t type, const std::string& name, Node* parent) {
    Node& node = createObject(application(), type);
    node.name = name;
    appendChild(document(), node, parent);
    return node;
}

Node& HostTest::addTag(Node& object, std::int32_t type, const std::string& name) {
    Node& tag = createTag(application(), object, type);
    tag.name = name;
    return tag;
}

} // namespace caelo::host::testing
