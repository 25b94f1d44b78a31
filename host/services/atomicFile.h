// Files written whole or not at all.
#ifndef CAELO_HOST_ATOMIC_FILE_H
#define CAELO_HOST_ATOMIC_FILE_H

#include <filesystem>
#include <string_view>

namespace caelo::host {

// Writes `bytes` to a temporary file in the folder of `file`, flushes it to the
// disk and renames it over `file`, so that an existing file is replaced whole
// or not at all and a failed write leaves nothing behind. Throws HostError
// with the reason (the caller adds what was being written).
//
// Example: writeFileAtomically("out/solar-system.png", pngBytes);
void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);

} // namespace caelo::host

#endif
