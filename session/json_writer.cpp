#include "session/json_writer.h"

#include <cmath>
#include <cstdio>

namespace vm::session {

void JsonWriter::beginValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!empty_.empty()) {
        if (!empty_.back())
            out_ += ',';
        empty_.back() = false;
    }
}

JsonWriter& JsonWriter::open(char bracket) {
    beginValue();
    out_ += bracket;
    empty_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::close(char bracket) {
    out_ += bracket;
    empty_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::beginObject() {
    return open('{');
}
JsonWriter& JsonWriter::endObject() {
    return close('}');
}
JsonWriter& JsonWriter::beginArray() {
    return open('[');
}
JsonWriter& JsonWriter::endArray() {
    return close(']');
}

JsonWriter& JsonWriter::key(std::string_view name) {
    beginValue();
    out_ += jsonString(name);
    out_ += ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::string(std::string_view text) {
    beginValue();
    out_ += jsonString(text);
    return *this;
}

JsonWriter& JsonWriter::number(double v, NumberForm form) {
    if (!std::isfinite(v))
        return null();
    beginValue();
    out_ += numberText(v, form);
    return *this;
}

JsonWriter& JsonWriter::whole(long long v) {
    beginValue();
    out_ += std::to_string(v);
    return *this;
}

JsonWriter& JsonWriter::null() {
    beginValue();
    out_ += "null";
    return *this;
}

std::size_t utf8SequenceLength(std::string_view v) {
    const auto byte = [&](std::size_t k) {
        return k < v.size() ? static_cast<unsigned char>(v[k]) : 0;
    };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    }
    for (std::size_t k = 1; k < length; ++k)
        if (byte(k) < (k == 1 ? low : 0x80) || byte(k) > (k == 1 ? high : 0xbf))
            return 0;
    return length;
}

std::string jsonString(std::string_view v) {
    std::string out = "\"";
    for (std::size_t at = 0; at < v.size();) {
        const char c = v[at];
        const auto byte = static_cast<unsigned char>(c);
        char escaped[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else if (byte >= 0x80) {
            // A byte that is no UTF-8 (a file name from elsewhere) is escaped as Python's
            // surrogateescape decodes it, so the line stays valid JSON and the bytes come back.
            if (const std::size_t length = utf8SequenceLength(v.substr(at))) {
                out += v.substr(at, length);
                at += length;
                continue;
            }
            std::snprintf(escaped, sizeof escaped, "\\udc%02x", byte);
            out += escaped;
        } else {
            out += c;
        }
        ++at;
    }
    return out + '"';
}

} // namespace vm::session
