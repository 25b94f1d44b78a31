#include "host/interfaceTable.h"

#include "host/application.h"
#include "host/hostTypes.h"
#include "host/messages.h"
#include "host/registry.h"
#include "host/sceneEditing.h"
#include "host/services/dateService.h"
#include "host/services/hostError.h"
#include "host/services/numberText.h"
#include "host/treeDepth.h"
#include "host/treeEdits.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace caelo::host {

namespace {

// The most knots a curve value takes.
constexpr std::int32_t kMaxCurveKnots = 1 << 20;
// The most freed values of one kind kept for reuse.
constexpr std::size_t kMaxSpareValues = 16;
// The only number base TextToNumber reads.
constexpr std::int32_t kDecimalBase = 10;

Application& app() {
    return application();
}

// Values a module makes and frees again at every evaluation (a band's profile
// curve, the system's current date) are kept for the next request instead of
// going back to the heap, so that a pass allocates nothing. A value handed
// out again is as new: `reset` empties it, keeping its storage.
template <class Value> class SpareValues {
public:
    Value* take() {
        if (count_ == 0) {
            return new (std::nothrow) Value{};
        }
        return spares_[--count_].release();
    }
    void give(Value* value) {
        if (!value) {
            return;
        }
        if (count_ == spares_.size()) {
            delete value;
            return;
        }
        reset(*value);
        spares_[count_++].reset(value);
    }

private:
    static void reset(DateValue& value) { value.fields = {}; }
    static void reset(Curve& value) { value.knots.clear(); }

    std::array<std::unique_ptr<Value>, kMaxSpareValues> spares_;
    std::size_t count_ = 0;
};

SpareValues<DateValue> spareDates;
SpareValues<Curve> spareCurves;

bool failing(const char* operation) {
    return app().faults().shouldFail(operation);
}

Node* objectOf(HostNode* handle) {
    Node* node = fromHandle(handle);
    return node && node->isObject() ? node : nullptr;
}

// ---------------------------------------------------------------- registration and resources

bool registerType(const char* operation, NodeKind kind, std::int32_t id, const char* name, std::int32_t flags,
                  const HostNodeClass* nodeClass, const char* description, HostBitmap* icon,
                  std::int32_t level) noexcept {
    if (failing(operation)) {
        return false;
    }
    if (!nodeClass || !nodeClass->allocate) {
        app().outputText(std::string(operation) + ": type " + std::to_string(id) + " has no factory");
        return false;
    }
    NodeType type;
    type.id = id;
    type.kind = kind;
    type.displayName = name ? name : "";
    type.flags = flags;
    type.nodeClass = *nodeClass;
    type.descriptionName = description ? description : "";
    type.icon = fromHandle(icon);
    type.level = level;
    type.module = app().currentModule();
    if (type.icon) {
        type.icon->retain();
    }
    Bitmap* const iconReference = type.icon;
    if (!app().types().add(std::move(type))) {
        if (iconReference) {
            iconReference->release();
        }
        app().outputText(std::string(operation) + ": the type id " + std::to_string(id) + " is taken");
        return false;
    }
    return true;
}

bool RegisterObjectType(std::int32_t id, const char* name, std::int32_t flags, const HostNodeClass* nodeClass,
                        const char* description, HostBitmap* icon, std::int32_t level) noexcept {
    return registerType("RegisterObjectType", NodeKind::Object, id, name, flags, nodeClass, description, icon,
                        level);
}

bool RegisterTagType(std::int32_t id, const char* name, std::int32_t flags, const HostNodeClass* nodeClass,
                     const char* description, HostBitmap* icon, std::int32_t level) noexcept {
    return registerType("RegisterTagType", NodeKind::Tag, id, name, flags, nodeClass, description, icon,
                        level);
}

bool RegisterHelpHook(std::int32_t id, HostHelpHook hook) noexcept {
    if (failing("RegisterHelpHook") || !hook) {
        return false;
    }
    app().setHelpHook(id, hook);
    return true;
}

bool LoadModuleResources(const char* folder) noexcept {
    if (failing("LoadModuleResources") || !folder) {
        return false;
    }
    try {
        loadResourceFolder(folder, app().strings(), app().descriptions());
        app().setResourceFolder(folder);
        return true;
    } catch (const HostError& error) {
        app().outputText(error.what());
    } catch (const std::exception& error) {
        app().outputText(std::string(folder) + ": cannot read the resources: " + error.what());
    }
    return false;
}

const char* LoadResourceString(std::int32_t id) noexcept {
    return app().strings().find(id).c_str();
}

HostBitmap* LoadIcon(const char* path, double /*scale*/) noexcept {
    if (failing("LoadIcon") || !path || !*path) {
        return nullptr;
    }
    std::filesystem::path file(path);
    if (file.is_relative() && !app().resourceFolder().empty()) {
        file = app().resourceFolder() / file;
    }
    try {
        return toHandle(loadTiffIcon(file));
    } catch (const std::exception&) {
        return nullptr;
    }
}

void ReleaseIcon(HostBitmap* icon) noexcept {
    if (Bitmap* bitmap = fromHandle(icon)) {
        bitmap->release();
    }
}

void* AllocateInstance(std::size_t bytes) noexcept {
    if (failing("AllocateInstance")) {
        return nullptr;
    }
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void FreeInstance(void* memory) noexcept {
    std::free(memory);
}

void ShowNotice(const char* text) noexcept {
    app().outputText(std::string("Notice: ") + (text ? text : ""));
}

void OutputText(const char* line) noexcept {
    app().outputText(line ? line : "");
}

// ---------------------------------------------------------------- messages

bool BroadcastMessage(HostDocument* document, std::int32_t routing, std::int32_t type, void* data) noexcept {
    Document* d = fromHandle(document);
    if (!d || routing != HOST_BROADCAST_ALL) {
        return false;
    }
    broadcastMessage(*d, type, data);
    return true;
}

bool SendNodeMessage(HostNode* node, std::int32_t type, void* data) noexcept {
    Node* n = fromHandle(node);
    return n && sendNodeMessage(*n, type, data);
}

std::int32_t GetMessageParameterId(const void* data, std::int32_t level) noexcept {
    if (!data || level != 0) {
        return 0;
    }
    return static_cast<const HostParameterMessage*>(data)->parameterId;
}

bool DefaultCopyNode(HostNode* source, HostNode* destination) noexcept {
    return !failing("DefaultCopyNode") && source && destination;
}

// ---------------------------------------------------------------- scene tree

HostNode* GetParent(HostNode* node) noexcept {
    Node* n = fromHandle(node);
    return n ? toHandle(n->parent()) : nullptr;
}

HostNode* GetFirstChild(HostNode* node) noexcept {
    Node* n = fromHandle(node);
    return n ? toHandle(n->firstChild()) : nullptr;
}

HostNode* GetLastChild(HostNode* node) noexcept {
    Node* n = fromHandle(node);
    return n ? toHandle(n->lastChild()) : nullptr;
}

// A tag's neighbour among its object's tags (step +1 or -1).
Node* neighbourTag(const Node& tag, int step) {
    const Node* object = tag.object();
    if (!object) {
        return nullptr;
    }
    const auto& tags = object->tags();
    const auto it = std::find(tags.begin(), tags.end(), &tag);
    const auto index = it - tags.begin() + step;
    return index >= 0 && index < static_cast<std::ptrdiff_t>(tags.size())
               ? tags[static_cast<std::size_t>(index)]
               : nullptr;
}

HostNode* GetNextSibling(HostNode* node) noexcept {
    Node* n = fromHandle(node);
    if (!n) {
        return nullptr;
    }
    return toHandle(n->isTag() ? neighbourTag(*n, 1) : n->nextSibling());
}

HostNode* GetPrevSibling(HostNode* node) noexcept {
    Node* n = fromHandle(node);
    if (!n) {
        return nullptr;
    }
    return toHandle(n->isTag() ? neighbourTag(*n, -1) : n->prevSibling());
}

std::int32_t GetNodeType(HostNode* node) noexcept {
    Node* n = fromHandle(node);
    return n ? n->typeId() : 0;
}

void* GetNodeData(HostNode* node) noexcept {
    Node* n = fromHandle(node);
    return n ? n->instance() : nullptr;
}

HostDocument* GetDocument(HostNode* node) noexcept {
    Node* n = fromHandle(node);
    return n ? toHandle(n->document()) : nullptr;
}

HostDocument* GetActiveDocument() noexcept {
    return toHandle(app().activeDocumentIfAny());
}

HostNode* GetTagObject(HostNode* tag) noexcept {
    Node* n = fromHandle(tag);
    return n ? toHandle(n->object()) : nullptr;
}

HostNode* CreateObject(std::int32_t type) noexcept {
    if (failing("CreateObject")) {
        return nullptr;
    }
    try {
        return toHandle(&createObject(app(), type));
    } catch (const HostError&) {
        return nullptr;
    }
}

HostNode* CreateTag(HostNode* object, std::int32_t type) noexcept {
    Node* o = objectOf(object);
    if (failing("CreateTag") || !o) {
        return nullptr;
    }
    try {
        return toHandle(&createTag(app(), *o, type));
    } catch (const HostError&) {
        return nullptr;
    }
}

HostNode* FindTag(HostNode* object, std::int32_t type, std::int32_t index) noexcept {
    Node* o = objectOf(object);
    if (!o || index < 0) {
        return nullptr;
    }
    std::int32_t seen = 0;
    for (Node* tag : o->tags()) {
        if (tag->typeId() == type && seen++ == index) {
            return toHandle(tag);
        }
    }
    return nullptr;
}

// Does nothing where the node would go below itself or deeper than
// kMaxTreeDepth.
void AppendChild(HostNode* node, HostNode* parent) noexcept {
    Node* n = objectOf(node);
    Node* p = objectOf(parent);
    if (!n || !p || p->isWithin(*n) || !fitsUnder(*n, p)) {
        return;
    }
    if (n->isAttached()) {
        TreeEditor::detach(*n);
    }
    TreeEditor::attachChild(*n, *p);
}

void SetNodeName(HostNode* node, const char* name) noexcept {
    if (Node* n = fromHandle(node)) {
        n->name = name ? name : "";
    }
}

// ---------------------------------------------------------------- parameters

HostContainer* GetParameterContainer(HostNode* node) noexcept {
    Node* n = fromHandle(node);
    return n ? toHandle(&n->parameters) : nullptr;
}

double GetFloat(const HostContainer* container, std::int32_t id, double fallback) noexcept {
    const Container* c = fromHandle(container);
    return c ? c->getFloat(id, fallback) : fallback;
}

void SetFloat(HostContainer* container, std::int32_t id, double value) noexcept {
    if (Container* c = fromHandle(container)) {
        c->setFloat(id, value);
    }
}

std::int32_t GetInt32(const HostContainer* container, std::int32_t id, std::int32_t fallback) noexcept {
    const Container* c = fromHandle(container);
    return c ? c->getInt32(id, fallback) : fallback;
}

void SetInt32(HostContainer* container, std::int32_t id, std::int32_t value) noexcept {
    if (Container* c = fromHandle(container)) {
        c->setInt32(id, value);
    }
}

bool GetBool(const HostContainer* container, std::int32_t id, bool fallback) noexcept {
    const Container* c = fromHandle(container);
    return c ? c->getBool(id, fallback) : fallback;
}

void SetBool(HostContainer* container, std::int32_t id, bool value) noexcept {
    if (Container* c = fromHandle(container)) {
        c->setBool(id, value);
    }
}

const char* GetString(const HostContainer* container, std::int32_t id) noexcept {
    const Container* c = fromHandle(container);
    return c ? c->getString(id).c_str() : "";
}

void SetString(HostContainer* container, std::int32_t id, const char* text) noexcept {
    if (Container* c = fromHandle(container)) {
        c->setString(id, text);
    }
}

HostVector GetVector(const HostContainer* container, std::int32_t id, HostVector fallback) noexcept {
    const Container* c = fromHandle(container);
    return c ? toHost(c->getVector(id, fromHost(fallback))) : fallback;
}

void SetVector(HostContainer* container, std::int32_t id, HostVector value) noexcept {
    if (Container* c = fromHandle(container)) {
        c->setVector(id, fromHost(value));
    }
}

HostNode* GetLink(const HostContainer* container, std::int32_t id, HostDocument* document) noexcept {
    const Container* c = fromHandle(container);
    const Document* d = fromHandle(document);
    return c && d ? toHandle(d->findNode(c->getLink(id))) : nullptr;
}

void SetLink(HostContainer* container, std::int32_t id, HostNode* target) noexcept {
    if (Container* c = fromHandle(container)) {
        const Node* t = fromHandle(target);
        c->setLink(id, t ? t->id() : kNoNode);
    }
}

bool GetDateTime(const HostContainer* container, std::int32_t id, HostDateTime* fields) noexcept {
    const Container* c = fromHandle(container);
    const std::optional<HostDateTime> value = c ? c->getDateTime(id) : std::nullopt;
    if (!value || !fields) {
        return false;
    }
    *fields = *value;
    return true;
}

HostDateValue* CreateDateValue() noexcept {
    if (failing("CreateDateValue")) {
        return nullptr;
    }
    return toHandle(spareDates.take());
}

void SetDateValueFields(HostDateValue* value, const HostDateTime* fields, std::int32_t /*flag1*/,
                        std::int32_t /*flag2*/) noexcept {
    if (DateValue* v = fromHandle(value); v && fields) {
        v->fields = *fields;
    }
}

bool SetDateTime(HostContainer* container, std::int32_t id, const HostDateValue* value,
                 std::int32_t /*flag1*/, std::int32_t /*flag2*/) noexcept {
    Container* c = fromHandle(container);
    const DateValue* v = fromHandle(value);
    if (failing("SetDateTime") || !c || !v) {
        return false;
    }
    c->set(id, DateTime{v->fields});
    return true;
}

void FreeDateValue(HostDateValue* value) noexcept {
    spareDates.give(fromHandle(value));
}

HostCurve* CreateCurve() noexcept {
    if (failing("CreateCurve")) {
        return nullptr;
    }
    return toHandle(spareCurves.take());
}

bool ResizeCurve(HostCurve* curve, std::int32_t knotCount) noexcept {
    Curve* c = fromHandle(curve);
    if (failing("ResizeCurve") || !c || knotCount < 0 || knotCount > kMaxCurveKnots) {
        return false;
    }
    try {
        c->knots.resize(static_cast<std::size_t>(knotCount), HostCurveKnot{});
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

HostCurveKnot* GetCurveKnot(HostCurve* curve, std::int32_t index) noexcept {
    Curve* c = fromHandle(curve);
    if (!c || index < 0 || static_cast<std::size_t>(index) >= c->knots.size()) {
        return nullptr;
    }
    return &c->knots[static_cast<std::size_t>(index)];
}

bool SetCurve(HostContainer* container, std::int32_t id, const HostCurve* curve) noexcept {
    Container* c = fromHandle(container);
    const Curve* value = fromHandle(curve);
    if (failing("SetCurve") || !c || !value) {
        return false;
    }
    try {
        c->setCurve(id, *value);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void FreeCurve(HostCurve* curve) noexcept {
    spareCurves.give(fromHandle(curve));
}

// ---------------------------------------------------------------- time and dates

void GetDocumentTime(HostDocument* document, std::int64_t* numerator, std::int64_t* denominator) noexcept {
    const Document* d = fromHandle(document);
    const DocumentTime time = d ? d->time : DocumentTime{};
    if (numerator) {
        *numerator = time.numerator;
    }
    if (denominator) {
        *denominator = time.denominator;
    }
}

HostDateTime CurrentDateTime() noexcept {
    return currentDateTime();
}

HostDateTime UniversalToLocal(HostDateTime universal) noexcept {
    return universalToLocal(universal);
}

double DateTimeToDayNumber(HostDateTime fields) noexcept {
    return dateTimeToDayNumber(fields);
}

HostDateTime DayNumberToDateTime(double dayNumber) noexcept {
    return dayNumberToDateTime(dayNumber);
}

// ---------------------------------------------------------------- objects and transforms

HostVector GetRelativePosition(HostNode* object) noexcept {
    const Node* o = objectOf(object);
    return o ? toHost(o->relative.position) : HostVector{};
}

void SetRelativePosition(HostNode* object, HostVector position) noexcept {
    if (Node* o = objectOf(object)) {
        o->relative.position = fromHost(position);
    }
}

HostVector GetRelativeRotation(HostNode* object) noexcept {
    const Node* o = objectOf(object);
    return o ? toHost(o->relative.rotation) : HostVector{};
}

void SetRelativeRotation(HostNode* object, HostVector rotation) noexcept {
    if (Node* o = objectOf(object)) {
        o->relative.rotation = fromHost(rotation);
    }
}

HostVector GetBaseRotation(HostNode* object) noexcept {
    const Node* o = objectOf(object);
    return o ? toHost(o->frozen.rotation) : HostVector{};
}

void SetBaseRotation(HostNode* object, HostVector rotation) noexcept {
    if (Node* o = objectOf(object)) {
        o->frozen.rotation = fromHost(rotation);
    }
}

HostMatrix GetBaseMatrix(HostNode* object) noexcept {
    const Node* o = objectOf(object);
    return toHost(o ? o->frozenMatrix() : Matrix{});
}

HostMatrix GetWorldMatrix(HostNode* object) noexcept {
    const Node* o = objectOf(object);
    return toHost(o ? o->worldMatrix() : Matrix{});
}

void SetWorldMatrix(HostNode* object, HostMatrix matrix) noexcept {
    if (Node* o = objectOf(object)) {
        o->setWorldMatrix(fromHost(matrix));
    }
}

HostMatrix GetParentWorldMatrix(HostNode* object) noexcept {
    const Node* o = objectOf(object);
    return toHost(o ? o->parentWorldMatrix() : Matrix{});
}

void SetObjectPosition(HostNode* object, HostVector position) noexcept {
    Node* o = objectOf(object);
    if (!o) {
        return;
    }
    // A collapsed frozen transform (a scale of 0) reaches no relative position
    // that lands at `position`, and an overflowing inverse none that is
    // finite: the object then stays where it is.
    const std::optional<Matrix> fromFrozen = inverse(o->frozenMatrix());
    if (!fromFrozen) {
        return;
    }
    const Vector relative = transformPoint(*fromFrozen, fromHost(position));
    if (hasFiniteComponents(relative)) {
        o->relative.position = relative;
    }
}

HostVector GetObjectSize(HostNode* object) noexcept {
    const Node* o = objectOf(object);
    return toHost(o ? objectHalfExtents(*o) : Vector{});
}

HostVector MatrixToAngles(HostMatrix matrix, std::int32_t rotationOrder) noexcept {
    return rotationOrder == kRotationOrderHpb ? toHost(matrixToAngles(fromHost(matrix))) : HostVector{};
}

HostMatrix AnglesToMatrix(HostVector rotation, std::int32_t rotationOrder) noexcept {
    return toHost(rotationOrder == kRotationOrderHpb ? anglesToMatrix(fromHost(rotation)) : Matrix{});
}

HostVector VectorToAngles(HostVector direction) noexcept {
    return toHost(vectorToAngles(fromHost(direction)));
}

void SetColorProperties(HostNode* object, const HostColorProperties* properties) noexcept {
    if (Node* o = objectOf(object); o && properties) {
        o->color = *properties;
    }
}

void SetObjectSwitch(HostNode* object, std::int32_t selector, std::int32_t value) noexcept {
    Node* o = objectOf(object);
    if (!o) {
        return;
    }
    const bool displayCode = value == HOST_DISPLAY_HIDDEN || value == HOST_DISPLAY_FOLLOW_PARENT;
    switch (selector) {
    case HOST_SWITCH_EDITOR:
        if (displayCode) {
            o->editorMode = value;
        }
        break;
    case HOST_SWITCH_RENDER:
        if (displayCode) {
            o->renderMode = value;
        }
        break;
    case HOST_SWITCH_ENABLED:
        o->setEnabled(value != 0);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- evaluation and views

bool EnrolEvaluation(HostEvaluationList* list, HostNode* node, std::int32_t priority,
                     std::int32_t flags) noexcept {
    EvaluationList* l = fromHandle(list);
    Node* n = objectOf(node);
    return l && n && l->enrol(*n, priority, flags);
}

HostView* GetActiveView(HostDocument* document) noexcept {
    Document* d = fromHandle(document);
    return d ? toHandle(&d->view()) : nullptr;
}

HostNode* GetViewCamera(HostView* view) noexcept {
    const View* v = fromHandle(view);
    return v ? toHandle(app().findNode(v->camera)) : nullptr;
}

// ---------------------------------------------------------------- text and memory

double TextToNumber(const char* text, bool* error, std::int32_t /*unit*/, std::int32_t /*angleType*/,
                    std::int32_t base) noexcept {
    const std::optional<double> value =
        text && base == kDecimalBase ? textToNumber(text) : std::optional<double>{};
    if (error) {
        *error = !value;
    }
    return value.value_or(0.0);
}

std::size_t NumberToText(double value, std::int32_t digitsBefore, std::int32_t digitsAfter, bool exponentForm,
                         char fill, char* buffer, std::size_t capacity) noexcept {
    std::string text;
    try {
        text = numberToText(value, digitsBefore, digitsAfter, exponentForm, fill);
    } catch (const std::exception&) {
        text.clear();
    }
    if (buffer && capacity > 0) {
        const std::size_t n = std::min(text.size(), capacity - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return text.size();
}

bool TextInsert(char* buffer, std::size_t capacity, const char* text) noexcept {
    if (!buffer || !text) {
        return false;
    }
    const std::size_t used = strnlen(buffer, capacity);
    const std::size_t added = std::strlen(text);
    if (used == capacity || used + added + 1 > capacity) {
        return false;
    }
    std::memcpy(buffer + used, text, added + 1);
    return true;
}

void* ResizeArray(void* block, std::size_t bytes) noexcept {
    if (bytes == 0) {
        std::free(block);
        return nullptr;
    }
    if (failing("ResizeArray")) {
        return nullptr;
    }
    return std::realloc(block, bytes);
}

HostInterface makeTable() {
    HostInterface t{};
    t.version = HOST_INTERFACE_VERSION;
    t.RegisterObjectType = RegisterObjectType;
    t.RegisterTagType = RegisterTagType;
    t.RegisterHelpHook = RegisterHelpHook;
    t.LoadModuleResources = LoadModuleResources;
    t.LoadResourceString = LoadResourceString;
    t.LoadIcon = LoadIcon;
    t.ReleaseIcon = ReleaseIcon;
    t.AllocateInstance = AllocateInstance;
    t.FreeInstance = FreeInstance;
    t.ShowNotice = ShowNotice;
    t.OutputText = OutputText;
    t.BroadcastMessage = BroadcastMessage;
    t.SendNodeMessage = SendNodeMessage;
    t.GetMessageParameterId = GetMessageParameterId;
    t.DefaultCopyNode = DefaultCopyNode;
    t.GetParent = GetParent;
    t.GetFirstChild = GetFirstChild;
    t.GetLastChild = GetLastChild;
    t.GetNextSibling = GetNextSibling;
    t.GetPrevSibling = GetPrevSibling;
    t.GetNodeType = GetNodeType;
    t.GetNodeData = GetNodeData;
    t.GetDocument = GetDocument;
    t.GetActiveDocument = GetActiveDocument;
    t.GetTagObject = GetTagObject;
    t.CreateObject = CreateObject;
    t.CreateTag = CreateTag;
    t.FindTag = FindTag;
    t.AppendChild = AppendChild;
    t.SetNodeName = SetNodeName;
    t.GetParameterContainer = GetParameterContainer;
    t.GetFloat = GetFloat;
    t.SetFloat = SetFloat;
    t.GetInt32 = GetInt32;
    t.SetInt32 = SetInt32;
    t.GetBool = GetBool;
    t.SetBool = SetBool;
    t.GetString = GetString;
    t.SetString = SetString;
    t.GetVector = GetVector;
    t.SetVector = SetVector;
    t.GetLink = GetLink;
    t.SetLink = SetLink;
    t.GetDateTime = GetDateTime;
    t.CreateDateValue = CreateDateValue;
    t.SetDateValueFields = SetDateValueFields;
    t.SetDateTime = SetDateTime;
    t.FreeDateValue = FreeDateValue;
    t.CreateCurve = CreateCurve;
    t.ResizeCurve = ResizeCurve;
    t.GetCurveKnot = GetCurveKnot;
    t.SetCurve = SetCurve;
    t.FreeCurve = FreeCurve;
    t.GetDocumentTime = GetDocumentTime;
    t.CurrentDateTime = CurrentDateTime;
    t.UniversalToLocal = UniversalToLocal;
    t.DateTimeToDayNumber = DateTimeToDayNumber;
    t.DayNumberToDateTime = DayNumberToDateTime;
    t.GetRelativePosition = GetRelativePosition;
    t.SetRelativePosition = SetRelativePosition;
    t.GetRelativeRotation = GetRelativeRotation;
    t.SetRelativeRotation = SetRelativeRotation;
    t.GetBaseRotation = GetBaseRotation;
    t.SetBaseRotation = SetBaseRotation;
    t.GetBaseMatrix = GetBaseMatrix;
    t.GetWorldMatrix = GetWorldMatrix;
    t.SetWorldMatrix = SetWorldMatrix;
    t.GetParentWorldMatrix = GetParentWorldMatrix;
    t.SetObjectPosition = SetObjectPosition;
    t.GetObjectSize = GetObjectSize;
    t.MatrixToAngles = MatrixToAngles;
    t.AnglesToMatrix = AnglesToMatrix;
    t.VectorToAngles = VectorToAngles;
    t.SetColorProperties = SetColorProperties;
    t.SetObjectSwitch = SetObjectSwitch;
    t.EnrolEvaluation = EnrolEvaluation;
    t.GetActiveView = GetActiveView;
    t.GetViewCamera = GetViewCamera;
    t.TextToNumber = TextToNumber;
    t.NumberToText = NumberToText;
    t.TextInsert = TextInsert;
    t.ResizeArray = ResizeArray;
    return t;
}

} // namespace

const HostInterface& hostInterfaceTable() {
    static const HostInterface table = makeTable();
    return table;
}

} // namespace caelo::host
