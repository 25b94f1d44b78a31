// Files written whole or not at all, keeping what the user had at the target.
#ifndef CAELO_HOST_SERVICES_ATOMIC_FILE_H
#define CAELO_HOST_SERVICES_ATOMIC_FILE_H

#include <filesystem>
#include <string_view>

namespace caelo::host {

// Writes `bytes` to a temporary file beside the target, flushes it to the disk
// and renames it over the target, so that an existing file is replaced whole
// or not at all and neither a failed write nor an interruption (SIGINT,
// SIGTERM, SIGHUP) leaves a temporary file behind.
//
// What the user had stays as it was: when `file` is a symbolic link, the file
// it links to is replaced and the link stays; an existing file keeps its
// permission bits (and, where the process may, its owner and group); a target
// that exists but is not a regular file (a folder, FIFO, device or socket) is
// refused and left alone. Temporary files of this naming that a process no
// longer running left beside the target are removed first.
//
// Throws HostError with the reason (the caller adds what was being written).
//
// Example: writeFileAtomically("out/solar-system.png", pngBytes);
void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// A new, empty temporary file beside a target, named
// "<target>.saving-<pid>-<count>-<16 hex digits>" and created exclusively, so
// that no two writers, in one process or many, share one. It is removed when
// dropped unless it was renamed into place, and also when the process is
// ended by SIGINT, SIGTERM or SIGHUP while it exists (the signal then ends
// the process as it would have). A process that installed its own handler for
// one of those signals keeps it; one that ignores a signal goes on ignoring it.
//
// Example:
//   TemporaryFile temporary(target);
//   ::write(temporary.descriptor(), ...);
//   temporary.renameOver(target);
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& target);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    [[nodiscard]] int descriptor() const { return descriptor_; }
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    // Flushes the file to the disk, closes it and renames it over `target`.
    void renameOver(const std::filesystem::path& target);

private:
    std::filesystem::path path_;
    int descriptor_ = -1;
    int slot_ = -1; // in the table the signal handler removes from; -1: none
};

} // namespace caelo::host

#endif
