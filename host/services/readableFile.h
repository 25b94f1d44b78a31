// A file read in pieces, whose failures say why in the system's words ("No
// such file or directory", "Permission denied", "Input/output error").
//
// Example:
//   ReadableFile file = ReadableFile::open("a.caelo", "the scene");
//   char piece[kReadPieceBytes];
//   while (const std::size_t n = file.readSome(piece, sizeof piece)) { ... }
#ifndef CAELO_HOST_SERVICES_READABLE_FILE_H
#define CAELO_HOST_SERVICES_READABLE_FILE_H

#include "host/services/displayText.h"

#include <cstddef>
#include <streambuf>
#include <string>
#include <utility>

namespace caelo::host {

// The bytes a reader asks for at a time.
inline constexpr std::size_t kReadPieceBytes = 64 * kBytesPerKiB;

class ReadableFile {
public:
    // Opens a file or anything else that can be read (a pipe, a device).
    // Throws HostError "<name>: cannot open <what>: <reason>", the reason
    // "is a folder" for a folder. The name is the path as given, excerpted.
    static ReadableFile open(const std::string& path, const std::string& what);
    // Opens a file as above that must be a regular file: a device or pipe
    // could be read without end or block.
    static ReadableFile openRegular(const std::string& path, const std::string& what);
    // The standard input, named "<stdin>". Throws HostError when it is closed.
    static ReadableFile standardInput(const std::string& what);

    ReadableFile(ReadableFile&& other) noexcept;
    ReadableFile& operator=(ReadableFile&& other) noexcept;
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;
    ~ReadableFile();

    // Reads up to `size` bytes into `buffer`; answers 0 at the end only.
    // Throws HostError "<name>: cannot read <what>: <reason>".
    [[nodiscard]] std::size_t readSome(char* buffer, std::size_t size);

    // The size the file has now, in bytes (0 for what is not a regular file).
    [[nodiscard]] std::size_t sizeBytes() const;

    // The name messages give the file.
    [[nodiscard]] const std::string& name() const { return name_; }

private:
    ReadableFile(int descriptor, bool owned, std::string name, std::string what);
    [[noreturn]] void failReading(const std::string& reason) const;

    int descriptor_;
    bool owned_; // closed at the end; the standard input is not
    std::string name_;
    std::string what_;
};

// A ReadableFile as the source of a std::istream. A failure to read is
// thrown from the buffer as HostError: a reader that calls the buffer itself
// (sgetc, sbumpc) receives it, while the istream's own reads would only set
// badbit.
class ReadableFileBuffer : public std::streambuf {
public:
    explicit ReadableFileBuffer(ReadableFile file) : file_(std::move(file)) {}

    [[nodiscard]] const std::string& name() const { return file_.name(); }

protected:
    int_type underflow() override;

private:
    ReadableFile file_;
    char piece_[kReadPieceBytes];
};

} // namespace caelo::host

#endif
