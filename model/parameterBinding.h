/*
 * The binding between a node's record and its parameters: a table of
 * {parameter id, kind, record field, choice base} per node type. The module
 * reads and writes its nodes through these tables (source/parameterBinding.h);
 * the parts above read a scene's records through them too.
 *
 *     inline constexpr ParameterBinding<RingRecord> kRingBindings[] = {
 *         NumberTextBinding(TCAELORING_INNER_RADIUS, &RingRecord::innerRadiusKm),
 *         ChoiceBinding(TCAELORING_SLICE_MODE, &RingRecord::sliceMode, kModeChoiceBase),
 *     };
 */
#ifndef CAELO_MODEL_PARAMETER_BINDING_H
#define CAELO_MODEL_PARAMETER_BINDING_H

#include <cstddef>
#include <cstdint>

namespace caelo {

enum class ParameterKind {
    Float,      /* a Float parameter and a double field */
    NumberText, /* a number-text (String) parameter and a double field */
    Bool,       /* a Bool parameter and a bool field */
    Choice,     /* an Int32 parameter holding choice base + the int32_t field */
};

/* One parameter and the record field behind it; of the three field
 * pointers only the one of its kind is set. */
template <class Record> struct ParameterBinding {
    int32_t parameterId;
    ParameterKind kind;
    double Record::*number = nullptr;  /* Float, NumberText */
    bool Record::*flag = nullptr;      /* Bool */
    int32_t Record::*choice = nullptr; /* Choice */
    int32_t choiceBase = 0;            /* Choice: parameter value - field value */
};

template <class Record>
[[nodiscard]] constexpr ParameterBinding<Record> FloatBinding(int32_t id, double Record::*field) {
    return {id, ParameterKind::Float, field, nullptr, nullptr, 0};
}
template <class Record>
[[nodiscard]] constexpr ParameterBinding<Record> NumberTextBinding(int32_t id, double Record::*field) {
    return {id, ParameterKind::NumberText, field, nullptr, nullptr, 0};
}
template <class Record>
[[nodiscard]] constexpr ParameterBinding<Record> BoolBinding(int32_t id, bool Record::*field) {
    return {id, ParameterKind::Bool, nullptr, field, nullptr, 0};
}
template <class Record>
[[nodiscard]] constexpr ParameterBinding<Record> ChoiceBinding(int32_t id, int32_t Record::*field,
                                                               int32_t choiceBase) {
    return {id, ParameterKind::Choice, nullptr, nullptr, field, choiceBase};
}

/* The binding of a parameter in a table, or null for an id the table does
 * not hold. */
template <class Record, size_t N>
[[nodiscard]] const ParameterBinding<Record>* FindBinding(const ParameterBinding<Record> (&table)[N],
                                                          int32_t parameterId) {
    for (const ParameterBinding<Record>& binding : table) {
        if (binding.parameterId == parameterId) {
            return &binding;
        }
    }
    return nullptr;
}

} // namespace caelo

#endif
