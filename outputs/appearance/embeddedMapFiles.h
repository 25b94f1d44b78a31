// The files of data/maps/ as they are, built into the program (the table is
// written by this folder's CMakeLists.txt).
#ifndef CAELO_OUTPUTS_APPEARANCE_EMBEDDED_MAP_FILES_H
#define CAELO_OUTPUTS_APPEARANCE_EMBEDDED_MAP_FILES_H

#include <cstddef>
#include <string_view>
#include <vector>

namespace caelo::appearance {

struct EmbeddedFile {
    std::string_view name;  // "earth-night.jpg"
    std::string_view bytes; // the whole file
};

// Every file of data/maps/ (the maps and maps.csv), in the order of their names.
[[nodiscard]] const std::vector<EmbeddedFile>& embeddedMapFiles();

} // namespace caelo::appearance

#endif
