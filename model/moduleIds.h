/*
 * The identifiers of the module's node types: the type ids, under which the
 * types are also registered, and each type's parameter ids (values, links
 * and buttons), with the base a choice parameter adds to the member value it
 * stores. This is the one list: the module, the tool's places, the tests and
 * the benchmarks read it, and res/description/ describes the same ids to the
 * host.
 */
#ifndef CAELO_MODEL_MODULE_IDS_H
#define CAELO_MODEL_MODULE_IDS_H

#include <cstdint>

namespace caelo {

/* ---- Node types ----------------------------------------------------------- */

inline constexpr int32_t kTypeCaeloSystem = 1032493;
inline constexpr int32_t kTypeCaeloOrbitAxis = 1032494;
inline constexpr int32_t kTypeCaeloBodyAxis = 1032495;
inline constexpr int32_t kTypeCaeloOrbit = 1032496;
inline constexpr int32_t kTypeCaeloOrbitPlane = 1032497;
inline constexpr int32_t kTypeCaeloOrbitPlaneS = 1032498;
inline constexpr int32_t kTypeCaeloEquatPlane = 1032499;
inline constexpr int32_t kTypeCaeloRing = 1032500;
inline constexpr int32_t kTypeAttitudeCtrl = 1032501;

/* Evaluation priority of the module's objects. */
inline constexpr int32_t kEvaluationPriority = 2000;

/* ---- Choices ---------------------------------------------------------------- */

/* Choice parameters store the member value plus a base. */
inline constexpr int32_t kModeChoiceBase = 1200;
inline constexpr int32_t kBandSpacingChoiceBase = 1250;

} // namespace caelo

#endif
