#pragma once
// JSON text read strictly into a small tree, to check lines the runner hands on to other
// programs: exactly one whole value, nothing but white space after it, strings of valid UTF-8,
// nesting no deeper than a sweep's lines need.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm::cli {

struct JsonMember;

struct JsonValue {
    enum class Kind { null, boolean, number, string, array, object };
    Kind kind = Kind::null;
    std::string text;                // a number as written, a string decoded
    std::vector<JsonValue> items;    // an array's
    std::vector<JsonMember> members; // an object's, in their order
};

struct JsonMember {
    std::string name;
    JsonValue value;
};

inline constexpr int kMaxJsonDepth = 16;

// The value text holds; none when text is not exactly one whole JSON value.
std::optional<JsonValue> parseJson(std::string_view text);

} // namespace vm::cli
