// Parameter descriptions: the names, types, defaults, limits and choices of a
// node type's parameters, as read from a description resource (the format is
// in docs/resources.md).
#ifndef CAELO_HOST_DESCRIPTION_H
#define CAELO_HOST_DESCRIPTION_H

#include "host/container.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace caelo::host {

// How a parameter is shown and checked; `valueTypeOf` gives the stored type.
enum class ParameterKind {
    Float,
    Int32,
    Bool,
    String,
    NumberText,
    Vector,
    Link,
    DateTime,
    Curve,
    Cycle,
    Button
};

struct ParameterDescription {
    std::int32_t id = 0;
    std::string name;  // the symbol, e.g. "OCAELOSYSTEM_TIME_SCALE"
    std::string label; // text for users
    ParameterKind kind = ParameterKind::Float;
    std::optional<Value> defaultValue;
    std::optional<double> min; // inclusive limits of Float, Int32 and Vector components
    std::optional<double> max;
    std::vector<std::pair<std::int32_t, std::string>> cycle; // Cycle: allowed values and labels
    bool readOnly = false;
};

// The stored value type of a parameter kind (Cycle: Int32, NumberText: String);
// nothing for a button.
[[nodiscard]] std::optional<ValueType> valueTypeOf(ParameterKind kind);
// "float", "int32", ... as in the resource format.
[[nodiscard]] const char* parameterKindName(ParameterKind kind);

struct Description {
    std::string name; // resource name, e.g. "OcaeloSystem"
    std::vector<ParameterDescription> parameters;

    [[nodiscard]] const ParameterDescription* find(std::int32_t id) const;
};

// Reads a description resource from its JSON text. `origin` names the source
// (a file) in errors. Throws HostError naming the origin and the place (a JSON
// pointer such as "/parameters/3/min", or line and column for bad syntax).
[[nodiscard]] Description parseDescription(std::string_view jsonText, const std::string& origin);

// Descriptions by resource name.
class DescriptionTable {
public:
    // Adds or replaces the description of that name.
    void add(Description description);
    [[nodiscard]] const Description* find(std::string_view name) const;
    void clear() { descriptions_.clear(); }

private:
    std::map<std::string, Description, std::less<>> descriptions_;
};

} // namespace caelo::host

#endif
