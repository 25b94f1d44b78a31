#include "app/sceneDump.h"

#include "app/rationalText.h"
#include "host/application.h"
#include "host/description.h"
#include "host/registry.h"
#include "host/services/dateService.h"
#include "host/services/displayText.h"
#include "host/services/numberText.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>
#include <type_traits>
#include <variant>

namespace caelo::app {
namespace {

using Json = nlohmann::ordered_json;

Json number(double value) {
    return std::isfinite(value) ? Json(value) : Json(nullptr);
}

Json vectorJson(const host::Vector& v) {
    return Json::array({number(v.x), number(v.y), number(v.z)});
}

Json vectorJson(const HostVector& v) {
    return vectorJson(host::fromHost(v));
}

Json pathOrNull(const host::Document& document, const host::Node* node) {
    const std::string path = node ? document.pathOf(*node) : std::string{};
    return path.empty() ? Json(nullptr) : Json(path);
}

Json knotJson(const HostCurveKnot& knot) {
    return Json{{"position", vectorJson(knot.position)},
                {"leftTangent", vectorJson(knot.leftTangent)},
                {"rightTangent", vectorJson(knot.rightTangent)},
                {"flags", knot.flags},
                {"interpolation", knot.interpolation}};
}

Json valueJson(const host::Document& document, const host::Value& value) {
    return std::visit(
        [&document](const auto& v) -> Json {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, double>) {
                return number(v);
            } else if constexpr (std::is_same_v<T, host::Vector>) {
                return vectorJson(v);
            } else if constexpr (std::is_same_v<T, host::Link>) {
                return Json{{"link", pathOrNull(document, document.findNode(v.target))}};
            } else if constexpr (std::is_same_v<T, host::DateTime>) {
                return Json{{"date", host::isRepresentableDate(v.fields)
                                         ? Json(host::formatDateTime(v.fields))
                                         : Json(nullptr)}};
            } else if constexpr (std::is_same_v<T, host::Curve>) {
                Json knots = Json::array();
                for (const HostCurveKnot& knot : v.knots) {
                    knots.push_back(knotJson(knot));
                }
                return Json{{"curve", std::move(knots)}};
            } else {
                return Json(v); // Int32, Bool, String
            }
        },
        value);
}

Json parametersJson(const host::Document& document, const host::Container& parameters) {
    Json params = Json::object();
    for (const auto& [id, value] : parameters.values()) {
        params[std::to_string(id)] = valueJson(document, value);
    }
    return params;
}

Json matrixJson(const host::Matrix& m) {
    return Json{
        {"off", vectorJson(m.off)}, {"x", vectorJson(m.x)}, {"y", vectorJson(m.y)}, {"z", vectorJson(m.z)}};
}

// ------------------------------------------------------------ readable form

std::string vectorText(const host::Vector& v) {
    return "(" + host::formatDouble(v.x) + ", " + host::formatDouble(v.y) + ", " + host::formatDouble(v.z) +
           ")";
}

std::string cycleLabel(const host::ParameterDescription* parameter, std::int32_t value) {
    if (parameter) {
        for (const auto& [choice, label] : parameter->cycle) {
            if (choice == value) {
                return " (" + label + ")";
            }
        }
    }
    return {};
}

std::string valueText(const host::Document& document, const host::Value& value,
                      const host::ParameterDescription* parameter) {
    return std::visit(
        [&](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, double>) {
                return host::formatDouble(v);
            } else if constexpr (std::is_same_v<T, std::int32_t>) {
                return std::to_string(v) + cycleLabel(parameter, v);
            } else if constexpr (std::is_same_v<T, bool>) {
                return v ? "true" : "false";
            } else if constexpr (std::is_same_v<T, std::string>) {
                return '"' + host::escapedText(v) + '"';
            } else if constexpr (std::is_same_v<T, host::Vector>) {
                return vectorText(v);
            } else if constexpr (std::is_same_v<T, host::Link>) {
                const host::Node* target = document.findNode(v.target);
                const std::string path = target ? document.pathOf(*target) : std::string{};
                return target ? (path.empty() ? std::string("the view camera") : path) : std::string("none");
            } else if constexpr (std::is_same_v<T, host::DateTime>) {
                return host::formatDateTime(v.fields);
            } else {
                return "curve of " + std::to_string(v.knots.size()) + " knots";
            }
        },
        value);
}

std::string typeText(const host::Node& node) {
    const host::NodeType* type = host::application().findType(node.typeId());
    const std::string name =
        type && !type->displayName.empty() ? type->displayName : std::string("unknown type");
    return name + ", " + std::to_string(node.typeId());
}

std::string headerText(const host::Document& document, const host::Node& node) {
    const std::string path = document.pathOf(node);
    return (path.empty() ? std::string("(outside the tree)") : path) + " \"" + host::escapedText(node.name) +
           "\" (" + typeText(node) + ")";
}

void writeParameters(const host::Document& document, const host::Node& node, const std::string& indent,
                     std::ostream& out) {
    const host::Description* description = node.description();
    for (const auto& [id, value] : node.parameters.values()) {
        const host::ParameterDescription* parameter = description ? description->find(id) : nullptr;
        out << indent << id;
        if (parameter) {
            out << ' ' << parameter->label;
        }
        out << " = " << valueText(document, value, parameter) << '\n';
    }
}

std::string displayModeText(std::int32_t mode) {
    return mode == HOST_DISPLAY_HIDDEN          ? "hidden"
           : mode == HOST_DISPLAY_FOLLOW_PARENT ? "as parent"
                                                : std::to_string(mode);
}

void writeTransform(const host::Node& node, const std::string& indent, std::ostream& out) {
    out << indent << "position " << vectorText(node.relative.position) << "  rotation (rad) "
        << vectorText(node.relative.rotation) << "  scale " << vectorText(node.relative.scale) << '\n';
    if (node.frozen != host::Transform{}) {
        out << indent << "frozen position " << vectorText(node.frozen.position) << "  rotation (rad) "
            << vectorText(node.frozen.rotation) << "  scale " << vectorText(node.frozen.scale) << '\n';
    }
    out << indent << "world position " << vectorText(node.worldMatrix().off) << '\n';
    if (node.editorMode != HOST_DISPLAY_FOLLOW_PARENT || node.renderMode != HOST_DISPLAY_FOLLOW_PARENT ||
        !node.enabled()) {
        out << indent << "editor " << displayModeText(node.editorMode) << ", render "
            << displayModeText(node.renderMode) << ", " << (node.enabled() ? "enabled" : "disabled") << '\n';
    }
}

// A node's JSON object up to the bracket that opens its children: its members
// with the tags, then `"children":[`.
std::string openingJson(const host::Document& document, const host::Node& node) {
    Json tags = Json::array();
    for (const host::Node* tag : node.tags()) {
        tags.push_back(Json{{"path", pathOrNull(document, tag)},
                            {"type", tag->typeId()},
                            {"params", parametersJson(document, tag->parameters)}});
    }
    const Json object{{"path", pathOrNull(document, &node)},
                      {"name", node.name},
                      {"type", node.typeId()},
                      {"params", parametersJson(document, node.parameters)},
                      {"relPos", vectorJson(node.relative.position)},
                      {"relRot", vectorJson(node.relative.rotation)},
                      {"relScale", vectorJson(node.relative.scale)},
                      {"basePos", vectorJson(node.frozen.position)},
                      {"baseRot", vectorJson(node.frozen.rotation)},
                      {"baseScale", vectorJson(node.frozen.scale)},
                      {"world", matrixJson(node.worldMatrix())},
                      {"editorMode", node.editorMode},
                      {"renderMode", node.renderMode},
                      {"enabled", node.enabled()},
                      {"tags", std::move(tags)},
                      {"children", Json::array()}};
    const std::string text = object.dump();
    return text.substr(0, text.size() - 2); // without the empty children's "]}"
}

// An object with its tags and children as JSON text, each object's JSON made
// in turn: the walk follows the tree's links, so the stack does not grow with
// the depth of the tree.
std::string nodeJson(const host::Document& document, const host::Node& top) {
    std::string out;
    const host::Node* node = &top;
    for (;;) {
        out += openingJson(document, *node);
        if (node->firstChild() != nullptr) {
            node = node->firstChild();
            continue;
        }
        for (;;) {
            out += "]}";
            if (node == &top) {
                return out;
            }
            if (node->nextSibling() != nullptr) {
                out += ',';
                node = node->nextSibling();
                break;
            }
            node = node->parent();
        }
    }
}

} // namespace

void writeJsonDump(const host::Document& document, std::ostream& out) {
    out << R"({"time":)" << number(document.time.seconds()).dump() << R"(,"fps":)" << document.fps
        << R"(,"objects":[)";
    for (const host::Node* object = document.firstObject(); object; object = object->nextSibling()) {
        out << (object == document.firstObject() ? "" : ",") << nodeJson(document, *object);
    }
    const host::Node* camera = document.camera();
    out << R"(],"camera":)" << (camera ? nodeJson(document, *camera) : std::string("null")) << '}';
}

void writeReadableNode(const host::Document& document, const host::Node& node, int depth, std::ostream& out) {
    const std::string indent(static_cast<std::size_t>(depth) * 4, ' ');
    const std::string inner = indent + "    ";
    out << indent << headerText(document, node) << '\n';
    writeTransform(node, inner, out);
    writeParameters(document, node, inner, out);
    for (const host::Node* tag : node.tags()) {
        out << inner << "tag " << headerText(document, *tag) << '\n';
        writeParameters(document, *tag, inner + "    ", out);
    }
    for (const host::Node* child = node.firstChild(); child; child = child->nextSibling()) {
        writeReadableNode(document, *child, depth + 1, out);
    }
}

void writeReadableDump(const host::Document& document, std::ostream& out) {
    out << "time " << formatRational(document.time) << " s";
    if (document.time.denominator != 1) {
        out << " (" << host::formatDouble(document.time.seconds()) << " s)";
    }
    out << " at " << document.fps << " fps\n";
    if (!document.firstObject()) {
        out << "no objects\n";
    }
    for (const host::Node* object = document.firstObject(); object; object = object->nextSibling()) {
        writeReadableNode(document, *object, 0, out);
    }
    if (const host::Node* camera = document.camera()) {
        out << "view camera: ";
        writeReadableNode(document, *camera, 0, out);
    } else {
        out << "view camera: none\n";
    }
}

} // namespace caelo::app
