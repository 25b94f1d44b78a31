// Parameter values and the container that holds a node's parameters.
//
// A container maps first-level parameter ids to typed values. Reading a value
// of another type than asked answers the fallback, as the C interface does.
#ifndef CAELO_HOST_CONTAINER_H
#define CAELO_HOST_CONTAINER_H

#include "host/services/askAhead.h"
#include "host/services/matrix.h"
#include "interface/hostInterface.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace caelo::host {

// Identity of a node, unique for the life of the process and never reused.
using NodeId = std::uint64_t;
inline constexpr NodeId kNoNode = 0;

// A link parameter: the identity of the target node. It is resolved through a
// document, so a link to a node that was removed reads as none.
struct Link {
    NodeId target = kNoNode;

    friend bool operator==(const Link&, const Link&) = default;
};

// A date-time parameter (data type 1009398): calendar fields.
struct DateTime {
    HostDateTime fields{};

    friend bool operator==(const DateTime& a, const DateTime& b);
};

// A curve parameter (data type 1009060): its knots in order.
struct Curve {
    std::vector<HostCurveKnot> knots;

    friend bool operator==(const Curve& a, const Curve& b);
};

// The types a parameter value can have, in the order of `Value`'s alternatives.
enum class ValueType { Float, Int32, Bool, String, Vector, Link, DateTime, Curve };

using Value = std::variant<double, std::int32_t, bool, std::string, Vector, Link, DateTime, Curve>;

[[nodiscard]] inline ValueType typeOf(const Value& value) {
    return static_cast<ValueType>(value.index());
}

// "Float", "Int32", ... for messages.
[[nodiscard]] const char* valueTypeName(ValueType type);

// The parameters of one node, ordered by id.
// Example: container.set(1000, 0.1); double t = container.getFloat(1000, 0.0);
//
// The ids and the values are kept in two sorted arrays: a lookup searches the
// few cache lines of the ids and then touches only the value it wants, which
// keeps evaluation passes over scenes of many thousands of nodes fast.
// Adding an id moves the values; a pointer or reference to a value stays
// valid until an id is added to or removed from the container.
class Container {
public:
    // The stored parameters in id order, as (id, value) pairs:
    //   for (const auto& [id, value] : container.values()) { ... }
    class Values {
    public:
        class Iterator {
        public:
            Iterator(const std::int32_t* id, const Value* value) : id_(id), value_(value) {}
            std::pair<std::int32_t, const Value&> operator*() const { return {*id_, *value_}; }
            Iterator& operator++() {
                ++id_;
                ++value_;
                return *this;
            }
            friend bool operator==(const Iterator& a, const Iterator& b) { return a.id_ == b.id_; }

        private:
            const std::int32_t* id_;
            const Value* value_;
        };

        explicit Values(const Container& container) : container_(container) {}
        [[nodiscard]] Iterator begin() const { return {container_.ids_.data(), container_.values_.data()}; }
        [[nodiscard]] Iterator end() const {
            return {container_.ids_.data() + container_.ids_.size(),
                    container_.values_.data() + container_.values_.size()};
        }

    private:
        const Container& container_;
    };

    // The value stored under an id, or nullptr.
    [[nodiscard]] const Value* find(std::int32_t id) const;
    [[nodiscard]] Value* find(std::int32_t id);
    [[nodiscard]] bool contains(std::int32_t id) const { return find(id) != nullptr; }

    // Stores a value, replacing whatever the id held (of any type).
    void set(std::int32_t id, Value value);
    // Removes an id; nothing when absent.
    void erase(std::int32_t id);
    // Makes room for this many parameters, so that adding up to that many moves nothing.
    void reserve(std::size_t count) {
        ids_.reserve(count);
        values_.reserve(count);
    }
    void clear() {
        ids_.clear();
        values_.clear();
    }

    // Typed reads: the fallback when the id is absent or holds another type.
    [[nodiscard]] double getFloat(std::int32_t id, double fallback) const;
    [[nodiscard]] std::int32_t getInt32(std::int32_t id, std::int32_t fallback) const;
    [[nodiscard]] bool getBool(std::int32_t id, bool fallback) const;
    // The empty text when absent or of another type; the reference stays valid
    // until the id is changed or an id is added or removed.
    [[nodiscard]] const std::string& getString(std::int32_t id) const;
    [[nodiscard]] Vector getVector(std::int32_t id, Vector fallback) const;
    [[nodiscard]] NodeId getLink(std::int32_t id) const; // kNoNode when absent
    [[nodiscard]] std::optional<HostDateTime> getDateTime(std::int32_t id) const;
    [[nodiscard]] const Curve* getCurve(std::int32_t id) const;

    // Typed writes that reuse the stored value when it has the same type, so
    // that an evaluation pass rewriting a value allocates nothing.
    void setFloat(std::int32_t id, double value);
    void setInt32(std::int32_t id, std::int32_t value);
    void setBool(std::int32_t id, bool value);
    void setString(std::int32_t id, const char* text);
    void setVector(std::int32_t id, Vector value);
    void setLink(std::int32_t id, NodeId target);
    // A copy of the curve, in the storage of the curve the id holds already.
    void setCurve(std::int32_t id, const Curve& curve);

    [[nodiscard]] Values values() const { return Values(*this); }
    // Asks the processor to bring the ids into cache ahead of use, and the
    // values too where there are few (of a node with many parameters a pass
    // most often reads only some).
    void prefetch() const {
        __builtin_prefetch(ids_.data());
        if (values_.size() <= kValuesPrefetchedWhole) {
            askForLines(values_.data(), values_.size() * sizeof(Value));
        } else {
            __builtin_prefetch(values_.data());
        }
    }
    [[nodiscard]] bool empty() const { return ids_.empty(); }

    friend bool operator==(const Container&, const Container&) = default;

private:
    // Where the id is or would be inserted in `ids_`.
    [[nodiscard]] std::size_t position(std::int32_t id) const;
    // The value stored under the id, made (holding the default of its first
    // alternative) when absent.
    Value& valueOf(std::int32_t id);
    template <class T> T* slot(std::int32_t id);

    static constexpr std::size_t kValuesPrefetchedWhole = 12;

    std::vector<std::int32_t> ids_; // ascending
    std::vector<Value> values_;     // values_[i] is stored under ids_[i]
};

} // namespace caelo::host

#endif
