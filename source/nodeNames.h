/*
 * Names of the nodes the module builds, made from string-table texts.
 */
#ifndef CAELO_SOURCE_NODE_NAMES_H
#define CAELO_SOURCE_NODE_NAMES_H

#include "source/hostApi.h"

#include <cstddef>
#include <cstdint>

namespace caelo {

/* String-table prefixes of orbit-axis and body-axis names. */
inline constexpr int32_t kStringOrbitPrefix = 10050;
inline constexpr int32_t kStringBodyPrefix = 10051;

/* Room for a name built from string-table texts; longer texts are cut. */
inline constexpr size_t kNameCapacity = 256;

/* Names a node "<prefix>(<name>)" from two string-table texts, for example
 * "Orbit(Mercury)". */
inline void SetPrefixedName(HostNode* node, int32_t prefixId, int32_t nameId) {
    char name[kNameCapacity] = "";
    TextInsert(name, sizeof name, LoadResourceString(prefixId));
    TextInsert(name, sizeof name, "(");
    TextInsert(name, sizeof name, LoadResourceString(nameId));
    TextInsert(name, sizeof name, ")");
    SetNodeName(node, name);
}

} // namespace caelo

#endif
