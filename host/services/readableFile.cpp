#include "host/services/readableFile.h"

#include "host/services/displayText.h"
#include "host/services/hostError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace caelo::host {

namespace {

constexpr int kClosed = -1;

[[noreturn]] void refuse(const std::string& name, const std::string& what, const std::string& reason) {
    throw HostError(name + ": cannot open " + what + ": " + reason);
}

} // namespace

ReadableFile::ReadableFile(int descriptor, bool owned, std::string name, std::string what)
    : descriptor_(descriptor), owned_(owned), name_(std::move(name)), what_(std::move(what)) {}

ReadableFile ReadableFile::open(const std::string& path, const std::string& what) {
    const std::string name = excerpt(path);
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor == kClosed) {
        refuse(name, what, std::strerror(errno));
    }
    ReadableFile file(descriptor, true, name, what);
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        refuse(name, what, std::strerror(errno));
    }
    if (S_ISDIR(status.st_mode)) {
        refuse(name, what, "is a folder");
    }
    return file;
}

ReadableFile ReadableFile::openRegular(const std::string& path, const std::string& what) {
    ReadableFile file = open(path, what);
    struct stat status {};
    if (::fstat(file.descriptor_, &status) != 0) {
        refuse(file.name_, what, std::strerror(errno));
    }
    if (!S_ISREG(status.st_mode)) {
        refuse(file.name_, what, "not a regular file");
    }
    return file;
}

ReadableFile ReadableFile::standardInput(const std::string& what) {
    ReadableFile file(STDIN_FILENO, false, "<stdin>", what);
    if (::fcntl(STDIN_FILENO, F_GETFD) == -1) {
        file.failReading(std::strerror(errno));
    }
    return file;
}

ReadableFile::ReadableFile(ReadableFile&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, kClosed)), owned_(other.owned_),
      name_(std::move(other.name_)), what_(std::move(other.what_)) {}

ReadableFile& ReadableFile::operator=(ReadableFile&& other) noexcept {
    if (this != &other) {
        if (owned_ && descriptor_ != kClosed) {
            ::close(descriptor_);
        }
        descriptor_ = std::exchange(other.descriptor_, kClosed);
        owned_ = other.owned_;
        name_ = std::move(other.name_);
        what_ = std::move(other.what_);
    }
    return *this;
}

ReadableFile::~ReadableFile() {
    if (owned_ && descriptor_ != kClosed) {
        ::close(descriptor_);
    }
}

std::size_t ReadableFile::sizeBytes() const {
    struct stat status {};
    return ::fstat(descriptor_, &status) == 0 && S_ISREG(status.st_mode)
               ? static_cast<std::size_t>(status.st_size)
               : 0;
}

std::size_t ReadableFile::readSome(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t count = ::read(descriptor_, buffer, size);
        if (count >= 0) {
            return static_cast<std::size_t>(count);
        }
        // A signal handler (the one that removes unfinished files) may
        // interrupt a read that does not restart by itself.
        if (errno != EINTR) {
            failReading(std::strerror(errno));
        }
    }
}

void ReadableFile::failReading(const std::string& reason) const {
    throw HostError(name_ + ": cannot read " + what_ + ": " + reason);
}

ReadableFileBuffer::int_type ReadableFileBuffer::underflow() {
    if (gptr() < egptr()) {
        return traits_type::to_int_type(*gptr());
    }
    const std::size_t count = file_.readSome(piece_, sizeof piece_);
    if (count == 0) {
        return traits_type::eof();
    }
    setg(piece_, piece_, piece_ + count);
    return traits_type::to_int_type(piece_[0]);
}

} // namespace caelo::host
