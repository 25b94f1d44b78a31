// Text from outside (arguments, script lines, file names, the names and texts
// a scene file holds) made safe to print on a terminal and short enough for a
// message.
//
// Example:
//   escapedText("Sun\x1b[2J")        // "Sun\x1b[2J" with the ESC written as the four characters \x1b
//   quotedExcerpt(std::string(131072, 'x'))  // "'xxx...x...'": 60 x, then the ellipsis
#ifndef CAELO_HOST_SERVICES_DISPLAY_TEXT_H
#define CAELO_HOST_SERVICES_DISPLAY_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>

namespace caelo::host {

// The characters of the input a message quotes at most.
inline constexpr std::size_t kExcerptCharacters = 60;

inline constexpr std::size_t kBytesPerKiB = 1024;
inline constexpr std::size_t kBytesPerMiB = 1024 * kBytesPerKiB;

// The text with every character a terminal could act on written as an
// escape: the control characters (C0, DEL and C1) as \t, \n, \r or \xHH, the
// bidirectional and line-separating marks as \u{HHHH}, and a byte that is not
// part of well-formed UTF-8 as \xHH. Everything else, backslashes included,
// stands as it is, so that escaping escaped text changes nothing.
[[nodiscard]] std::string escapedText(std::string_view text);

// The first kExcerptCharacters characters of the text (UTF-8 characters, not
// bytes), escaped, followed by "..." when the text is longer.
[[nodiscard]] std::string excerpt(std::string_view text);

// The excerpt between single quotes, as messages quote their input.
[[nodiscard]] std::string quotedExcerpt(std::string_view text);

// A size as limits are given: "65536 bytes (64 KiB)", "16777216 bytes
// (16 MiB)", and the bytes alone when they are no whole number of KiB.
[[nodiscard]] std::string byteCountText(std::size_t bytes);

} // namespace caelo::host

#endif
