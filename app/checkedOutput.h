// Standard output through a buffer that remembers why a write failed, so
// that `caelo ... > /dev/full` can end with the system's reason ("No space
// left on device") instead of reporting success.
//
// Example:
//   CheckedOutput output(STDOUT_FILENO);
//   std::cout.rdbuf(&output);
//   ...
//   std::cout.flush();
//   if (const auto reason = output.failure()) { ... }
#ifndef CAELO_APP_CHECKED_OUTPUT_H
#define CAELO_APP_CHECKED_OUTPUT_H

#include "host/services/displayText.h"

#include <array>
#include <cstddef>
#include <optional>
#include <streambuf>
#include <string>

namespace caelo::app {

class CheckedOutput : public std::streambuf {
public:
    explicit CheckedOutput(int descriptor);
    CheckedOutput(const CheckedOutput&) = delete;
    CheckedOutput& operator=(const CheckedOutput&) = delete;
    ~CheckedOutput() override;

    // The reason the first failed write gave, or nothing while every write
    // succeeded. After a failure the buffer takes no more text.
    [[nodiscard]] std::optional<std::string> failure() const { return failure_; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    static constexpr std::size_t kBufferBytes = 64 * host::kBytesPerKiB;

    // Writes what the buffer holds; false once a write has failed.
    bool drain();

    int descriptor_;
    std::array<char, kBufferBytes> buffer_{};
    std::optional<std::string> failure_;
};

} // namespace caelo::app

#endif
