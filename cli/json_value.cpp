#include "cli/json_value.h"

#include "session/json_writer.h"

#include <cstdint>

namespace vm::cli {

namespace {

class JsonReader {
  public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    std::optional<JsonValue> document() {
        JsonValue value;
        skipSpace();
        if (!readValue(value, 0))
            return std::nullopt;
        skipSpace();
        if (at_ != text_.size())
            return std::nullopt;
        return value;
    }

  private:
    bool more() const { return at_ < text_.size(); }
    char peek() const { return text_[at_]; }

    void skipSpace() {
        while (more() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++at_;
    }

    bool take(char c) {
        if (!more() || peek() != c)
            return false;
        ++at_;
        return true;
    }

    bool takeWord(std::string_view word) {
        if (text_.substr(at_, word.size()) != word)
            return false;
        at_ += word.size();
        return true;
    }

    bool readValue(JsonValue& value, int depth) {
        if (!more() || depth > kMaxJsonDepth)
            return false;
        switch (peek()) {
        case '{':
            value.kind = JsonValue::Kind::object;
            return readObject(value, depth);
        case '[':
            value.kind = JsonValue::Kind::array;
            return readArray(value, depth);
        case '"':
            value.kind = JsonValue::Kind::string;
            return readString(value.text);
        case 't':
        case 'f':
            value.kind = JsonValue::Kind::boolean;
            value.text = peek() == 't' ? "true" : "false";
            return takeWord(value.text);
        case 'n':
            value.kind = JsonValue::Kind::null;
            return takeWord("null");
        default:
            value.kind = JsonValue::Kind::number;
            return readNumber(value.text);
        }
    }

    bool readObject(JsonValue& value, int depth) {
        ++at_;
        skipSpace();
        if (take('}'))
            return true;
        do {
            skipSpace();
            JsonMember member;
            if (!readString(member.name))
                return false;
            skipSpace();
            if (!take(':'))
                return false;
            skipSpace();
            if (!readValue(member.value, depth + 1))
                return false;
            value.members.push_back(std::move(member));
            skipSpace();
        } while (take(','));
        return take('}');
    }

    bool readArray(JsonValue& value, int depth) {
        ++at_;
        skipSpace();
        if (take(']'))
            return true;
        do {
            skipSpace();
            if (!readValue(value.items.emplace_back(), depth + 1))
                return false;
            skipSpace();
        } while (take(','));
        return take(']');
    }

    bool digits() {
        const std::size_t from = at_;
        while (more() && peek() >= '0' && peek() <= '9')
            ++at_;
        return at_ > from;
    }

    // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
    bool readNumber(std::string& number) {
        const std::size_t from = at_;
        take('-');
        if (!take('0') && !(more() && peek() >= '1' && peek() <= '9' && digits()))
            return false;
        if (take('.') && !digits())
            return false;
        if (take('e') || take('E')) {
            if (!take('+'))
                take('-');
            if (!digits())
                return false;
        }
        number = text_.substr(from, at_ - from);
        return true;
    }

    bool hexQuad(std::uint32_t& unit) {
        unit = 0;
        for (int i = 0; i < 4; ++i, ++at_) {
            if (!more())
                return false;
            const char c = peek();
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0)
                return false;
            unit = unit * 16 + static_cast<std::uint32_t>(digit);
        }
        return true;
    }

    static void appendUtf8(std::string& out, std::uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xc0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3f));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xe0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3f));
            out += static_cast<char>(0x80 | (code & 0x3f));
        } else {
            out += static_cast<char>(0xf0 | code >> 18);
            out += static_cast<char>(0x80 | (code >> 12 & 0x3f));
            out += static_cast<char>(0x80 | (code >> 6 & 0x3f));
            out += static_cast<char>(0x80 | (code & 0x3f));
        }
    }

    // \uXXXX, a surrogate pair joined; a lone surrogate is kept as it stands, as the escaper
    // writes a byte that is no UTF-8.
    bool readEscapedUnit(std::string& out) {
        std::uint32_t unit = 0;
        if (!hexQuad(unit))
            return false;
        if (unit >= 0xd800 && unit < 0xdc00 && text_.substr(at_, 2) == "\\u") {
            const std::size_t back = at_;
            at_ += 2;
            std::uint32_t low = 0;
            if (hexQuad(low) && low >= 0xdc00 && low < 0xe000) {
                appendUtf8(out, 0x10000 + ((unit - 0xd800) << 10) + (low - 0xdc00));
                return true;
            }
            at_ = back;
        }
        appendUtf8(out, unit);
        return true;
    }

    bool readString(std::string& out) {
        if (!take('"'))
            return false;
        while (more()) {
            const auto c = static_cast<unsigned char>(peek());
            if (c == '"') {
                ++at_;
                return true;
            }
            if (c < 0x20)
                return false;
            if (c >= 0x80) {
                const std::size_t length = session::utf8SequenceLength(text_.substr(at_));
                if (length == 0)
                    return false;
                out.append(text_.substr(at_, length));
                at_ += length;
                continue;
            }
            ++at_;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (!more())
                return false;
            const char escaped = peek();
            ++at_;
            switch (escaped) {
            case '"':
            case '\\':
            case '/':
                out += escaped;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u':
                if (!readEscapedUnit(out))
                    return false;
                break;
            default:
                return false;
            }
        }
        return false;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace

std::optional<JsonValue> parseJson(std::string_view text) {
    return JsonReader(text).document();
}

} // namespace vm::cli
