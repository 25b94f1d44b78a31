// Bytes as base64 text (RFC 4648, with padding), for files that carry binary
// data inside text: glTF's data URIs and the pages that embed a scene.
//
// Example: base64("caelo") is "Y2FlbG8=".
#ifndef CAELO_HOST_SERVICES_BASE64_H
#define CAELO_HOST_SERVICES_BASE64_H

#include <string>
#include <string_view>

namespace caelo::host {

[[nodiscard]] std::string base64(std::string_view bytes);

} // namespace caelo::host

#endif
