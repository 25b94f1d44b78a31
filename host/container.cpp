#include "host/container.h"

#include <algorithm>

namespace caelo::host {

namespace {

bool sameVector(const HostVector& a, const HostVector& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

bool sameKnot(const HostCurveKnot& a, const HostCurveKnot& b) {
    return sameVector(a.position, b.position) && sameVector(a.leftTangent, b.leftTangent) &&
           sameVector(a.rightTangent, b.rightTangent) && a.flags == b.flags &&
           a.interpolation == b.interpolation;
}

const std::string kEmptyText;

} // namespace

bool operator==(const DateTime& a, const DateTime& b) {
    const HostDateTime& f = a.fields;
    const HostDateTime& g = b.fields;
    return f.year == g.year && f.month == g.month && f.day == g.day && f.hour == g.hour &&
           f.minute == g.minute && f.second == g.second;
}

bool operator==(const Curve& a, const Curve& b) {
    if (a.knots.size() != b.knots.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.knots.size(); ++i) {
        if (!sameKnot(a.knots[i], b.knots[i])) {
            return false;
        }
    }
    return true;
}

const char* valueTypeName(ValueType type) {
    switch (type) {
    case ValueType::Float:
        return "Float";
    case ValueType::Int32:
        return "Int32";
    case ValueType::Bool:
        return "Bool";
    case ValueType::String:
        return "String";
    case ValueType::Vector:
        return "Vector";
    case ValueType::Link:
        return "Link";
    case ValueType::DateTime:
        return "date-time";
    case ValueType::Curve:
        return "curve";
    }
    return "unknown";
}

std::size_t Container::position(std::int32_t id) const {
    return static_cast<std::size_t>(std::lower_bound(ids_.begin(), ids_.end(), id) - ids_.begin());
}

const Value* Container::find(std::int32_t id) const {
    const std::size_t at = position(id);
    return at < ids_.size() && ids_[at] == id ? &values_[at] : nullptr;
}

Value* Container::find(std::int32_t id) {
    const std::size_t at = position(id);
    return at < ids_.size() && ids_[at] == id ? &values_[at] : nullptr;
}

Value& Container::valueOf(std::int32_t id) {
    const std::size_t at = position(id);
    if (at == ids_.size() || ids_[at] != id) {
        const auto offset = static_cast<std::ptrdiff_t>(at);
        ids_.insert(ids_.begin() + offset, id);
        values_.emplace(values_.begin() + offset);
    }
    return values_[at];
}

void Container::set(std::int32_t id, Value value) {
    valueOf(id) = std::move(value);
}

void Container::erase(std::int32_t id) {
    const std::size_t at = position(id);
    if (at < ids_.size() && ids_[at] == id) {
        const auto offset = static_cast<std::ptrdiff_t>(at);
        ids_.erase(ids_.begin() + offset);
        values_.erase(values_.begin() + offset);
    }
}

template <class T> T* Container::slot(std::int32_t id) {
    Value& value = valueOf(id);
    if (!std::holds_alternative<T>(value)) {
        value.emplace<T>();
    }
    return &std::get<T>(value);
}

double Container::getFloat(std::int32_t id, double fallback) const {
    const Value* v = find(id);
    const double* d = v ? std::get_if<double>(v) : nullptr;
    return d ? *d : fallback;
}

std::int32_t Container::getInt32(std::int32_t id, std::int32_t fallback) const {
    const Value* v = find(id);
    const std::int32_t* i = v ? std::get_if<std::int32_t>(v) : nullptr;
    return i ? *i : fallback;
}

bool Container::getBool(std::int32_t id, bool fallback) const {
    const Value* v = find(id);
    const bool* b = v ? std::get_if<bool>(v) : nullptr;
    return b ? *b : fallback;
}

const std::string& Container::getString(std::int32_t id) const {
    const Value* v = find(id);
    const std::string* s = v ? std::get_if<std::string>(v) : nullptr;
    return s ? *s : kEmptyText;
}

Vector Container::getVector(std::int32_t id, Vector fallback) const {
    const Value* v = find(id);
    const Vector* r = v ? std::get_if<Vector>(v) : nullptr;
    return r ? *r : fallback;
}

NodeId Container::getLink(std::int32_t id) const {
    const Value* v = find(id);
    const Link* l = v ? std::get_if<Link>(v) : nullptr;
    return l ? l->target : kNoNode;
}

std::optional<HostDateTime> Container::getDateTime(std::int32_t id) const {
    const Value* v = find(id);
    const DateTime* d = v ? std::get_if<DateTime>(v) : nullptr;
    if (!d) {
        return std::nullopt;
    }
    return d->fields;
}

const Curve* Container::getCurve(std::int32_t id) const {
    const Value* v = find(id);
    return v ? std::get_if<Curve>(v) : nullptr;
}

void Container::setFloat(std::int32_t id, double value) {
    *slot<double>(id) = value;
}

void Container::setInt32(std::int32_t id, std::int32_t value) {
    *slot<std::int32_t>(id) = value;
}

void Container::setBool(std::int32_t id, bool value) {
    *slot<bool>(id) = value;
}

void Container::setString(std::int32_t id, const char* text) {
    slot<std::string>(id)->assign(text ? text : "");
}

void Container::setVector(std::int32_t id, Vector value) {
    *slot<Vector>(id) = value;
}

void Container::setLink(std::int32_t id, NodeId target) {
    slot<Link>(id)->target = target;
}

void Container::setCurve(std::int32_t id, const Curve& curve) {
    slot<Curve>(id)->knots.assign(curve.knots.begin(), curve.knots.end());
}

} // namespace caelo::host
