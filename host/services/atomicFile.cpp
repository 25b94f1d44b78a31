#include "atomicFile.h"

#include "hostError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>
#include <unistd.h>

namespace caelo::host {

namespace {

// Writes the whole text to a file and flushes it to the disk.
void writeAndSync(const std::filesystem::path& file, std::string_view bytes) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) {
        throw HostError(std::string("cannot open for writing: ") + std::strerror(errno));
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() &&
                         std::fflush(out) == 0 && fsync(fileno(out)) == 0;
    const int error = errno;
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        throw HostError(std::string("cannot write: ") + std::strerror(error));
    }
}

} // namespace

void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
    std::filesystem::path temporary = file;
    temporary += ".saving-" + std::to_string(getpid());
    try {
        writeAndSync(temporary, bytes);
    } catch (const HostError&) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw;
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw HostError("cannot rename the finished file into place: " + error.message());
    }
}

} // namespace caelo::host
