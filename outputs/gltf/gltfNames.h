// The names of the exported nodes: plain printable ASCII, as viewers rewrite
// other characters, and unique, so that users can tell them apart and tools
// can find them.
#ifndef CAELO_OUTPUTS_GLTF_GLTF_NAMES_H
#define CAELO_OUTPUTS_GLTF_GLTF_NAMES_H

#include "host/scene.h"

#include <string>
#include <vector>

namespace caelo::gltf {

// The name as plain printable ASCII: accented Latin letters lose their
// accents, other characters (and broken UTF-8) become '_'.
// Example: asciiName("Liberté") is "Liberte".
[[nodiscard]] std::string asciiName(const std::string& utf8);

// The exported names of the objects, one each, unique among them.
//
// An object is named after itself (in ASCII; an object without a name after
// its type). A name that more than one object has is told apart by what the
// object belongs to: the text in the last parentheses of the nearest ancestor
// whose name has some, else the nearest named ancestor's name, in
// parentheses: the module's "Orbit Spline" below "Orbit(Mercury)" becomes
// "Orbit Spline (Mercury)". Names still shared after that are numbered in
// tree order from the second on: "Band (Moon) 2".
[[nodiscard]] std::vector<std::string> uniqueNodeNames(const std::vector<const host::Node*>& objects);

} // namespace caelo::gltf

#endif
