#include "host/services/atomicFile.h"

#include "host/services/hostError.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace caelo::host {

namespace {

constexpr std::string_view kTemporaryInfix = ".saving-";
constexpr int kRandomHexDigits = 16;
// Attempts at a fresh temporary name before giving up (each is random).
constexpr int kNameAttempts = 16;
// Links followed from the target before it is refused as a loop (as ELOOP).
constexpr int kMaxLinkHops = 40;
constexpr std::size_t kWriteChunkBytes = std::size_t{1} << 20;

std::string reason(int error) {
    return std::strerror(error);
}

// The temporary files that exist now, where the signal handler finds them.
// Only lock-free atomics and fixed arrays: the handler may run at any point.
struct PendingFile {
    enum State : int { kFree, kFilling, kReady };
    std::atomic<int> state{kFree};
    std::array<char, PATH_MAX> path{};
};
constexpr int kPendingSlots = 32;
std::array<PendingFile, kPendingSlots> pendingFiles;

constexpr std::array<int, 3> kCleanedSignals = {SIGINT, SIGTERM, SIGHUP};
std::array<struct sigaction, kCleanedSignals.size()> previousActions{};

void removePendingFiles() {
    for (PendingFile& file : pendingFiles) {
        if (file.state.load() == PendingFile::kReady) {
            ::unlink(file.path.data());
        }
    }
}

// Removes the temporary files, then lets the signal do what it did before.
void onInterruption(int signal, siginfo_t* info, void* context) {
    removePendingFiles();
    for (std::size_t i = 0; i < kCleanedSignals.size(); ++i) {
        if (kCleanedSignals[i] != signal) {
            continue;
        }
        const struct sigaction& previous = previousActions[i];
        if ((previous.sa_flags & SA_SIGINFO) != 0) {
            previous.sa_sigaction(signal, info, context);
        } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
            previous.sa_handler(signal);
        } else {
            // Ends the process as the signal would have once this returns.
            ::sigaction(signal, &previous, nullptr);
            ::raise(signal);
        }
    }
}

void installInterruptionCleanup() {
    for (std::size_t i = 0; i < kCleanedSignals.size(); ++i) {
        struct sigaction previous {};
        if (::sigaction(kCleanedSignals[i], nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) {
            continue; // an ignored signal stays ignored: it cannot interrupt
        }
        previousActions[i] = previous;
        struct sigaction cleanup {};
        cleanup.sa_sigaction = onInterruption;
        cleanup.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&cleanup.sa_mask);
        ::sigaction(kCleanedSignals[i], &cleanup, nullptr);
    }
}

// Claims a slot of the table for `path`; -1 when the table is full (the file
// is then still removed by its owner, only not on a signal).
int rememberPending(const std::string& path) {
    static std::once_flag installed;
    std::call_once(installed, installInterruptionCleanup);
    if (path.size() >= PATH_MAX) {
        return -1;
    }
    for (int slot = 0; slot < kPendingSlots; ++slot) {
        PendingFile& file = pendingFiles[static_cast<std::size_t>(slot)];
        int expected = PendingFile::kFree;
        if (file.state.compare_exchange_strong(expected, PendingFile::kFilling)) {
            std::memcpy(file.path.data(), path.c_str(), path.size() + 1);
            file.state.store(PendingFile::kReady);
            return slot;
        }
    }
    return -1;
}

void forgetPending(int slot) {
    if (slot >= 0) {
        pendingFiles[static_cast<std::size_t>(slot)].state.store(PendingFile::kFree);
    }
}

std::string randomHex() {
    std::random_device device;
    const std::uint64_t value = (std::uint64_t{device()} << 32) ^ device();
    std::array<char, kRandomHexDigits + 1> text{};
    std::snprintf(text.data(), text.size(), "%016llx", static_cast<unsigned long long>(value));
    return text.data();
}

std::string temporaryName(const std::filesystem::path& target) {
    static std::atomic<unsigned long> count{0};
    return target.string() + std::string(kTemporaryInfix) + std::to_string(::getpid()) + '-' +
           std::to_string(++count) + '-' + randomHex();
}

bool isDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isHexDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// The process id in a temporary name's suffix, "<pid>-<count>-<hex>" (or
// "<pid>" alone, as earlier versions named them); 0 when it is not one.
pid_t writerOf(std::string_view suffix) {
    const std::size_t pidEnd = suffix.find('-');
    const std::string_view pid = suffix.substr(0, pidEnd);
    if (!isDigits(pid) || pid.size() > 9) {
        return 0;
    }
    if (pidEnd != std::string_view::npos) {
        const std::string_view rest = suffix.substr(pidEnd + 1);
        const std::size_t countEnd = rest.find('-');
        if (countEnd == std::string_view::npos || !isDigits(rest.substr(0, countEnd)) ||
            rest.size() - countEnd - 1 != kRandomHexDigits || !isHexDigits(rest.substr(countEnd + 1))) {
            return 0;
        }
    }
    return static_cast<pid_t>(std::stol(std::string(pid)));
}

// Removes temporary files of `target` that writers no longer running left:
// only regular files of this process's user, named as this unit names them.
void removeStaleTemporaries(const std::filesystem::path& target) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const std::string prefix = target.filename().string() + std::string(kTemporaryInfix);
    std::error_code error;
    std::filesystem::directory_iterator entries(
        folder, std::filesystem::directory_options::skip_permission_denied, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        if (!name.starts_with(prefix)) {
            continue;
        }
        const pid_t writer = writerOf(std::string_view(name).substr(prefix.size()));
        struct stat status {};
        if (writer <= 0 || writer == ::getpid() || ::kill(writer, 0) == 0 || errno != ESRCH ||
            ::lstat(entries->path().c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_uid != ::geteuid()) {
            continue;
        }
        ::unlink(entries->path().c_str());
    }
}

// The file that `file` names after following its symbolic links: the file
// that a write through the link would change.
std::filesystem::path followLinks(const std::filesystem::path& file) {
    std::filesystem::path current = file;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat status {};
        if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return current;
        }
        std::error_code error;
        const std::filesystem::path link = std::filesystem::read_symlink(current, error);
        if (error) {
            throw HostError("cannot read the symbolic link " + current.string() + ": " + error.message());
        }
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
    throw HostError(reason(ELOOP));
}

void writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), std::min(bytes.size(), kWriteChunkBytes));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            throw HostError("cannot write: " + reason(written < 0 ? errno : ENOSPC));
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// Flushes the folder's entry for a renamed file; some file systems cannot,
// which loses nothing but durability across a power cut.
void syncFolder(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

constexpr mode_t kPrivatePermissions = 0600;
constexpr mode_t kPermissionBits = 07777;

// What a new file gets: read and write for all, less the process's umask
// (which can only be read by setting it; files are written from one thread).
mode_t newFilePermissions() {
    constexpr mode_t kNewFilePermissions = 0666;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return kNewFilePermissions & ~mask;
}

} // namespace

TemporaryFile::TemporaryFile(const std::filesystem::path& target) {
    for (int attempt = 0; attempt < kNameAttempts && descriptor_ < 0; ++attempt) {
        std::string name = temporaryName(target);
        slot_ = rememberPending(name);
        descriptor_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kPrivatePermissions);
        if (descriptor_ < 0) {
            const int error = errno;
            forgetPending(slot_);
            slot_ = -1;
            if (error != EEXIST) {
                throw HostError("cannot open for writing: " + reason(error));
            }
            continue;
        }
        path_ = std::move(name);
    }
    if (descriptor_ < 0) {
        throw HostError("cannot find a free temporary name beside it");
    }
}

TemporaryFile::~TemporaryFile() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
    if (!path_.empty()) {
        ::unlink(path_.c_str());
    }
    forgetPending(slot_);
}

void TemporaryFile::renameOver(const std::filesystem::path& target) {
    const int descriptor = std::exchange(descriptor_, -1);
    const bool synced = ::fsync(descriptor) == 0;
    const int syncError = errno;
    if (::close(descriptor) != 0 || !synced) {
        throw HostError("cannot write: " + reason(synced ? errno : syncError));
    }
    if (::rename(path_.c_str(), target.c_str()) != 0) {
        throw HostError("cannot rename the finished file into place: " + reason(errno));
    }
    path_.clear();
    forgetPending(std::exchange(slot_, -1));
    syncFolder(target);
}

void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
    const std::filesystem::path target = followLinks(file);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        throw HostError("not a regular file (a folder, FIFO, device or socket), so it is left as it is");
    }
    removeStaleTemporaries(target);
    TemporaryFile temporary(target);
    writeAll(temporary.descriptor(), bytes);
    const mode_t permissions = exists ? existing.st_mode & kPermissionBits : newFilePermissions();
    if (exists) {
        // Keeps the owner and group where this process may set them; where it
        // may not, the file becomes this user's, as any rewrite would make it.
        [[maybe_unused]] const int ownerKept =
            ::fchown(temporary.descriptor(), existing.st_uid, existing.st_gid);
    }
    if (::fchmod(temporary.descriptor(), permissions) != 0) {
        throw HostError("cannot set the permissions: " + reason(errno));
    }
    temporary.renameOver(target);
}

} // namespace caelo::host
