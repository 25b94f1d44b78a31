#include "host/messages.h"

#include "host/description.h"
#include "host/handles.h"
#include "host/registry.h"
#include "host/sceneEditing.h"
#include "host/services/dateService.h"
#include "host/services/hostError.h"
#include "host/services/numberText.h"

#include <cmath>
#include <limits>
#include <vector>

namespace caelo::host {

namespace {

[[noreturn]] void refuse(const Node& node, const ParameterDescription& p, const std::string& reason) {
    throw HostError(describeNode(node) + ": parameter " + std::to_string(p.id) + " (" + p.name +
                    "): " + reason);
}

void checkLimits(const Node& node, const ParameterDescription& p, double value) {
    if (p.min && value < *p.min) {
        refuse(node, p, formatDouble(value) + " is below the minimum " + formatDouble(*p.min));
    }
    if (p.max && value > *p.max) {
        refuse(node, p, formatDouble(value) + " is above the maximum " + formatDouble(*p.max));
    }
}

std::string choicesText(const ParameterDescription& p) {
    std::string text;
    for (const auto& [value, label] : p.cycle) {
        text += (text.empty() ? "" : ", ") + std::to_string(value) + " (" + label + ")";
    }
    return text;
}

// The value as the parameter stores it, converted where that loses nothing.
Value convertValue(const Node& node, const ParameterDescription& p, const Value& value) {
    const std::optional<ValueType> wanted = valueTypeOf(p.kind);
    if (!wanted) {
        refuse(node, p, "is a button; press it instead of setting it");
    }
    const ValueType given = typeOf(value);
    if (given == *wanted) {
        return value;
    }
    if (*wanted == ValueType::Float && given == ValueType::Int32) {
        return static_cast<double>(std::get<std::int32_t>(value));
    }
    if (*wanted == ValueType::Int32 && given == ValueType::Float) {
        const double d = std::get<double>(value);
        if (std::isfinite(d) && d == std::trunc(d) && d >= std::numeric_limits<std::int32_t>::min() &&
            d <= std::numeric_limits<std::int32_t>::max()) {
            return static_cast<std::int32_t>(d);
        }
        refuse(node, p, "takes a whole number, not " + formatDouble(d));
    }
    refuse(node, p,
           std::string("takes a ") + valueTypeName(*wanted) + " value, not a " + valueTypeName(given) +
               " value");
}

// Checks a value against the parameter's description; answers the value to
// store.
Value checkedValue(const Node& node, const ParameterDescription& p, const Value& given) {
    Value value = convertValue(node, p, given);
    switch (p.kind) {
    case ParameterKind::Float: {
        const double d = std::get<double>(value);
        if (!std::isfinite(d)) {
            refuse(node, p, "the value is not a finite number");
        }
        checkLimits(node, p, d);
        break;
    }
    case ParameterKind::Int32:
        checkLimits(node, p, std::get<std::int32_t>(value));
        break;
    case ParameterKind::Cycle: {
        const std::int32_t v = std::get<std::int32_t>(value);
        bool found = false;
        for (const auto& choice : p.cycle) {
            found = found || choice.first == v;
        }
        if (!found) {
            refuse(node, p, std::to_string(v) + " is not one of the choices " + choicesText(p));
        }
        break;
    }
    case ParameterKind::Vector: {
        const Vector v = std::get<Vector>(value);
        for (const double c : {v.x, v.y, v.z}) {
            if (!std::isfinite(c)) {
                refuse(node, p, "a component is not a finite number");
            }
            checkLimits(node, p, c);
        }
        break;
    }
    case ParameterKind::NumberText:
        // Text that is no number goes to the node, which keeps its old value.
        if (const std::optional<double> number = textToNumber(std::get<std::string>(value))) {
            checkLimits(node, p, *number);
        }
        break;
    case ParameterKind::Link: {
        const NodeId target = std::get<Link>(value).target;
        // A node outside any document shares a document with no node.
        if (target != kNoNode && (!node.document() || !node.document()->findNode(target))) {
            refuse(node, p, "the link target is not a node of the same document");
        }
        break;
    }
    case ParameterKind::DateTime:
        if (!isRepresentableDate(std::get<DateTime>(value).fields)) {
            refuse(node, p, "the date is no calendar date and time " + representableDatesText());
        }
        break;
    case ParameterKind::Bool:
    case ParameterKind::String:
    case ParameterKind::Curve:
    case ParameterKind::Button:
        break;
    }
    return value;
}

bool isHostType(const Node& node) {
    return node.type() && node.type()->hostType;
}

} // namespace

bool sendNodeMessage(Node& node, std::int32_t type, void* data) {
    const HostNodeClass* nodeClass = node.nodeClass();
    if (nodeClass && nodeClass->handleMessage && node.instance()) {
        return nodeClass->handleMessage(node.instance(), toHandle(&node), type, data);
    }
    if (type == HOST_MSG_UPDATE && isHostType(node)) {
        ++node.rebuildCount;
    }
    return true;
}

void broadcastMessage(Document& document, std::int32_t type, void* data) {
    std::vector<NodeId> recipients;
    document.forEachNode([&recipients](Node& node) { recipients.push_back(node.id()); });
    for (const NodeId id : recipients) {
        if (Node* node = document.findNode(id)) {
            sendNodeMessage(*node, type, data);
        }
    }
}

void notifyDocumentLoaded(Document& document) {
    HostDocumentMessage message{HOST_DOCUMENT_LOADED};
    broadcastMessage(document, HOST_MSG_DOCUMENT, &message);
}

const ParameterDescription& requireParameter(const Node& node, std::int32_t id) {
    const Description* description = node.description();
    if (!description) {
        throw HostError(describeNode(node) + ": type " + std::to_string(node.typeId()) +
                        " has no parameter description");
    }
    const ParameterDescription* p = description->find(id);
    if (!p) {
        throw HostError(describeNode(node) + ": no parameter " + std::to_string(id) + " in the description " +
                        description->name);
    }
    return *p;
}

bool isParameterEnabled(Node& node, std::int32_t id) {
    const HostNodeClass* nodeClass = node.nodeClass();
    if (!nodeClass || !nodeClass->isParameterEnabled || !node.instance()) {
        return true;
    }
    return nodeClass->isParameterEnabled(node.instance(), toHandle(&node), id);
}

void editParameter(Node& node, std::int32_t id, const Value& value) {
    const ParameterDescription& p = requireParameter(node, id);
    if (p.kind == ParameterKind::Button) {
        refuse(node, p, "is a button; press it instead of setting it");
    }
    if (p.readOnly) {
        refuse(node, p, "is read-only");
    }
    if (!isParameterEnabled(node, id)) {
        refuse(node, p, "is greyed out and cannot be edited now");
    }
    node.parameters.set(id, checkedValue(node, p, value));
    HostParameterMessage message{HOST_PARAMETER_SET_BY_USER, id};
    sendNodeMessage(node, HOST_MSG_PARAMETER_SET, &message);
}

void setParameterQuietly(Node& node, std::int32_t id, const Value& value) {
    const ParameterDescription& p = requireParameter(node, id);
    node.parameters.set(id, checkedValue(node, p, value));
    HostParameterMessage message{0, id};
    sendNodeMessage(node, HOST_MSG_PARAMETER_SET, &message);
}

bool pressButton(Node& node, std::int32_t id) {
    const ParameterDescription& p = requireParameter(node, id);
    if (p.kind != ParameterKind::Button) {
        refuse(node, p, "is not a button");
    }
    if (!isParameterEnabled(node, id)) {
        refuse(node, p, "is greyed out and cannot be pressed now");
    }
    HostParameterMessage message{HOST_PARAMETER_SET_BY_USER, id};
    return sendNodeMessage(node, HOST_MSG_BUTTON, &message);
}

} // namespace caelo::host
