#include "app/checkedOutput.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace caelo::app {

CheckedOutput::CheckedOutput(int descriptor) : descriptor_(descriptor) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

CheckedOutput::~CheckedOutput() {
    drain();
}

bool CheckedOutput::drain() {
    const char* next = pbase();
    while (!failure_ && next < pptr()) {
        const ssize_t written = ::write(descriptor_, next, static_cast<std::size_t>(pptr() - next));
        if (written < 0) {
            failure_ = std::strerror(errno);
        } else if (written == 0) {
            failure_ = "the output took no bytes";
        } else {
            next += written;
        }
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return !failure_;
}

CheckedOutput::int_type CheckedOutput::overflow(int_type c) {
    if (!drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int CheckedOutput::sync() {
    return drain() ? 0 : -1;
}

} // namespace caelo::app
