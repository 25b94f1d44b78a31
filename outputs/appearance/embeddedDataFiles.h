// The data files the outputs draw from, as they are, built into the program
// (the table is written by this folder's CMakeLists.txt): the maps of
// data/maps/ with their table, and the stars of data/stars/.
#ifndef CAELO_OUTPUTS_APPEARANCE_EMBEDDED_DATA_FILES_H
#define CAELO_OUTPUTS_APPEARANCE_EMBEDDED_DATA_FILES_H

#include <cstddef>
#include <string_view>
#include <vector>

namespace caelo::appearance {

struct EmbeddedFile {
    std::string_view name;  // "earth-night.jpg"
    std::string_view bytes; // the whole file
};

// Every such file, by its name alone ("earth.jpg", "bright-stars.csv"), in
// the order of their paths.
[[nodiscard]] const std::vector<EmbeddedFile>& embeddedDataFiles();

// The bytes of the file of that name; throws std::logic_error when the
// program was built without it.
[[nodiscard]] std::string_view embeddedDataFile(std::string_view name);

} // namespace caelo::appearance

#endif
