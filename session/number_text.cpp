#include "session/number_text.h"

#include <charconv>
#include <cmath>

namespace vm::session {

std::string numberText(double v, NumberForm form) {
    char buffer[32];
    char* end =
        form == NumberForm::single
            ? std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 9).ptr
            : std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return std::string(buffer, static_cast<std::size_t>(end - buffer));
}

std::string csvNumber(double v, NumberForm form) {
    return std::isfinite(v) ? numberText(v, form) : std::string();
}

} // namespace vm::session
