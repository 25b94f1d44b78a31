// What a file's name says about its contents.
//
// Example:
//   lowercaseExtension("Earth.PNG") // ".png"
#ifndef CAELO_HOST_SERVICES_FILE_NAMES_H
#define CAELO_HOST_SERVICES_FILE_NAMES_H

#include <filesystem>
#include <string>

namespace caelo::host {

// The name's extension with its dot, in lower case (ASCII letters only), or
// the empty text when the name has none.
[[nodiscard]] std::string lowercaseExtension(const std::filesystem::path& file);

} // namespace caelo::host

#endif
