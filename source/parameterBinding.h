/*
 * The binder: writes a node's record into its parameters and reads it back
 * through the node type's table (model/parameterBinding.h).
 *
 *     WriteBoundParameters(container, kRingBindings, record);
 *
 * One rule for every kind: a parameter that is absent or of another type
 * keeps its field as it is, and a number text that is no number keeps its
 * field and is rewritten from it. The binder allocates nothing; the tables
 * are constant.
 */
#ifndef CAELO_SOURCE_PARAMETER_BINDING_H
#define CAELO_SOURCE_PARAMETER_BINDING_H

#include "model/parameterBinding.h"
#include "source/hostApi.h"

#include <cstddef>
#include <cstdint>

namespace caelo {

/* Writes one field into its parameter; a number text in normalised form. */
template <class Record>
void WriteBoundParameter(const Container& container, const ParameterBinding<Record>& binding,
                         const Record& record) {
    switch (binding.kind) {
    case ParameterKind::Float:
        container.SetFloat(binding.parameterId, record.*binding.number);
        break;
    case ParameterKind::NumberText:
        SetNumberText(container, binding.parameterId, record.*binding.number);
        break;
    case ParameterKind::Bool:
        container.SetBool(binding.parameterId, record.*binding.flag);
        break;
    case ParameterKind::Choice:
        container.SetInt32(binding.parameterId, record.*binding.choice + binding.choiceBase);
        break;
    }
}

/* Reads one parameter into its field; absent or of another type, the field
 * stays. A number text is rewritten in normalised form either way. */
template <class Record>
void ReadBoundParameter(const Container& container, const ParameterBinding<Record>& binding, Record& record) {
    const int32_t id = binding.parameterId;
    switch (binding.kind) {
    case ParameterKind::Float:
        record.*binding.number = container.GetFloat(id, record.*binding.number);
        break;
    case ParameterKind::NumberText:
        NormaliseNumberText(container, id, record.*binding.number);
        break;
    case ParameterKind::Bool:
        record.*binding.flag = container.GetBool(id, record.*binding.flag);
        break;
    case ParameterKind::Choice:
        record.*binding.choice =
            container.GetInt32(id, record.*binding.choice + binding.choiceBase) - binding.choiceBase;
        break;
    }
}

/* Writes every field of the record into its parameter, in table order. */
template <class Record, size_t N>
void WriteBoundParameters(const Container& container, const ParameterBinding<Record> (&table)[N],
                          const Record& record) {
    for (const ParameterBinding<Record>& binding : table) {
        WriteBoundParameter(container, binding, record);
    }
}

/* Reads every parameter of the table into the record, in table order. */
template <class Record, size_t N>
void ReadBoundParameters(const Container& container, const ParameterBinding<Record> (&table)[N],
                         Record& record) {
    for (const ParameterBinding<Record>& binding : table) {
        ReadBoundParameter(container, binding, record);
    }
}

/* Reads one parameter by id; false, with the record untouched, for an id
 * the table does not hold. */
template <class Record, size_t N>
bool ReadBoundParameter(const Container& container, const ParameterBinding<Record> (&table)[N],
                        int32_t parameterId, Record& record) {
    const ParameterBinding<Record>* binding = FindBinding(table, parameterId);
    if (binding == nullptr) {
        return false;
    }
    ReadBoundParameter(container, *binding, record);
    return true;
}

} // namespace caelo

#endif
