#include "cli/checked_output.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace vm::cli {

bool CheckedOutput::drain() {
    const char* next = pbase();
    while (problem_.empty() && next < pptr()) {
        const ssize_t written = ::write(fd_, next, static_cast<std::size_t>(pptr() - next));
        if (written > 0)
            next += written;
        else if (written < 0 && errno != EINTR)
            problem_ = std::strerror(errno);
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return problem_.empty();
}

CheckedOutput::int_type CheckedOutput::overflow(int_type c) {
    if (!drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize CheckedOutput::xsputn(const char* text, std::streamsize count) {
    std::streamsize put = 0;
    while (put < count && problem_.empty()) {
        if (pptr() == epptr() && !drain())
            break;
        const std::streamsize room = std::min<std::streamsize>(epptr() - pptr(), count - put);
        std::memcpy(pptr(), text + put, static_cast<std::size_t>(room));
        pbump(static_cast<int>(room));
        put += room;
    }
    return problem_.empty() ? put : 0;
}

int CheckedOutput::sync() {
    return drain() ? 0 : -1;
}

} // namespace vm::cli
