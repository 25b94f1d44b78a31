#include "host/description.h"

#include "host/services/dateService.h"
#include "host/services/hostError.h"
#include "host/services/jsonReader.h"

#include <array>
#include <cmath>
#include <set>

namespace caelo::host {

namespace {

constexpr const char* kDescriptionFormat = "caelo-description";
constexpr int kDescriptionVersion = 1;

struct KindName {
    ParameterKind kind;
    const char* name;
};

constexpr std::array<KindName, 11> kKindNames{{
    {ParameterKind::Float, "float"},
    {ParameterKind::Int32, "int32"},
    {ParameterKind::Bool, "bool"},
    {ParameterKind::String, "string"},
    {ParameterKind::NumberText, "numbertext"},
    {ParameterKind::Vector, "vector"},
    {ParameterKind::Link, "link"},
    {ParameterKind::DateTime, "datetime"},
    {ParameterKind::Curve, "curve"},
    {ParameterKind::Cycle, "cycle"},
    {ParameterKind::Button, "button"},
}};

bool takesLimits(ParameterKind kind) {
    return kind == ParameterKind::Float || kind == ParameterKind::Int32 || kind == ParameterKind::Vector ||
           kind == ParameterKind::NumberText;
}

ParameterKind readKind(const JsonPlace& place) {
    const std::string name = place.text();
    for (const KindName& k : kKindNames) {
        if (name == k.name) {
            return k.kind;
        }
    }
    place.fail("unknown parameter type \"" + name +
               "\" (expected float, int32, bool, string, numbertext, vector, link, datetime, curve, cycle or "
               "button)");
}

Value readDefault(const JsonPlace& place, ParameterKind kind) {
    switch (kind) {
    case ParameterKind::Float:
        return place.number();
    case ParameterKind::Int32:
    case ParameterKind::Cycle:
        return place.int32();
    case ParameterKind::Bool:
        return place.boolean();
    case ParameterKind::String:
    case ParameterKind::NumberText:
        return place.text();
    case ParameterKind::Vector:
        if (place.size() != 3) {
            place.fail("expected [x, y, z]");
        }
        return Vector{place.at(0).number(), place.at(1).number(), place.at(2).number()};
    case ParameterKind::DateTime: {
        const std::optional<HostDateTime> fields = parseDateTime(place.text());
        if (!fields) {
            place.fail("expected a date as \"YYYY-MM-DD hh:mm:ss\"");
        }
        return DateTime{*fields};
    }
    case ParameterKind::Link:
    case ParameterKind::Curve:
    case ParameterKind::Button:
        break;
    }
    place.fail(std::string("a ") + parameterKindName(kind) + " parameter takes no default");
}

void checkDefaultWithinLimits(const JsonPlace& place, const ParameterDescription& p) {
    const auto outside = [&](double v) { return (p.min && v < *p.min) || (p.max && v > *p.max); };
    bool bad = false;
    if (const double* d = std::get_if<double>(&*p.defaultValue)) {
        bad = outside(*d);
    } else if (const std::int32_t* i = std::get_if<std::int32_t>(&*p.defaultValue)) {
        bad = p.kind == ParameterKind::Int32 && outside(*i);
    } else if (const Vector* v = std::get_if<Vector>(&*p.defaultValue)) {
        bad = outside(v->x) || outside(v->y) || outside(v->z);
    }
    if (bad) {
        place.fail("the default lies outside the limits");
    }
    if (p.kind == ParameterKind::Cycle) {
        const std::int32_t value = std::get<std::int32_t>(*p.defaultValue);
        bool found = false;
        for (const auto& choice : p.cycle) {
            found = found || choice.first == value;
        }
        if (!found) {
            place.fail("the default " + std::to_string(value) + " is not one of the choices");
        }
    }
}

ParameterDescription readParameter(const JsonPlace& place) {
    place.requireObject();
    ParameterDescription p;
    p.id = place.at("id").int32();
    p.name = place.at("name").text();
    p.label = place.at("label").text();
    p.kind = readKind(place.at("type"));
    for (const char* limit : {"min", "max"}) {
        if (const auto l = place.find(limit)) {
            if (!takesLimits(p.kind)) {
                l->fail(std::string("a ") + parameterKindName(p.kind) + " parameter takes no limits");
            }
            (limit[1] == 'i' ? p.min : p.max) = l->number();
        }
    }
    if (p.min && p.max && *p.min > *p.max) {
        place.fail("min is above max");
    }
    if (p.kind == ParameterKind::Cycle) {
        const JsonPlace cycle = place.at("cycle");
        cycle.requireObject();
        if (cycle.size() == 0) {
            cycle.fail("a cycle needs at least one choice");
        }
        for (const auto& [key, label] : cycle.value().items()) {
            p.cycle.emplace_back(cycle.keyAsInt32(key), cycle.at(key).text());
        }
    } else if (const auto cycle = place.find("cycle")) {
        cycle->fail("only a cycle parameter takes choices");
    }
    if (const auto readOnly = place.find("readOnly")) {
        p.readOnly = readOnly->boolean();
    }
    if (const auto d = place.find("default")) {
        p.defaultValue = readDefault(*d, p.kind);
        checkDefaultWithinLimits(*d, p);
    }
    return p;
}

} // namespace

std::optional<ValueType> valueTypeOf(ParameterKind kind) {
    switch (kind) {
    case ParameterKind::Float:
        return ValueType::Float;
    case ParameterKind::Int32:
    case ParameterKind::Cycle:
        return ValueType::Int32;
    case ParameterKind::Bool:
        return ValueType::Bool;
    case ParameterKind::String:
    case ParameterKind::NumberText:
        return ValueType::String;
    case ParameterKind::Vector:
        return ValueType::Vector;
    case ParameterKind::Link:
        return ValueType::Link;
    case ParameterKind::DateTime:
        return ValueType::DateTime;
    case ParameterKind::Curve:
        return ValueType::Curve;
    case ParameterKind::Button:
        break;
    }
    return std::nullopt;
}

const char* parameterKindName(ParameterKind kind) {
    for (const KindName& k : kKindNames) {
        if (k.kind == kind) {
            return k.name;
        }
    }
    return "unknown";
}

const ParameterDescription* Description::find(std::int32_t id) const {
    for (const ParameterDescription& p : parameters) {
        if (p.id == id) {
            return &p;
        }
    }
    return nullptr;
}

Description parseDescription(std::string_view jsonText, const std::string& origin) {
    const nlohmann::json json = parseJsonText(jsonText, origin);
    const JsonPlace top(json, origin);
    top.requireObject();
    if (top.at("format").text() != kDescriptionFormat) {
        top.at("format").fail(std::string("expected \"") + kDescriptionFormat + "\"");
    }
    if (top.at("version").int32() != kDescriptionVersion) {
        top.at("version").fail("unsupported version (this host reads version " +
                               std::to_string(kDescriptionVersion) + ")");
    }
    Description description;
    description.name = top.at("name").text();
    const JsonPlace parameters = top.at("parameters");
    parameters.requireArray();
    std::set<std::int32_t> ids;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const JsonPlace place = parameters.at(i);
        ParameterDescription p = readParameter(place);
        if (!ids.insert(p.id).second) {
            place.at("id").fail("the id " + std::to_string(p.id) + " is declared twice");
        }
        description.parameters.push_back(std::move(p));
    }
    return description;
}

void DescriptionTable::add(Description description) {
    std::string name = description.name;
    descriptions_.insert_or_assign(std::move(name), std::move(description));
}

const Description* DescriptionTable::find(std::string_view name) const {
    const auto it = descriptions_.find(name);
    return it == descriptions_.end() ? nullptr : &it->second;
}

} // namespace caelo::host
