#pragma once
// A value, or the reason in words why there is none, so that no exception crosses the library's
// boundary and the window can show the reason as it stands.

#include <optional>
#include <string>
#include <utility>

namespace vm::reference {

template <typename T> struct Outcome {
    std::optional<T> value;
    std::string message; // empty exactly when there is a value

    static Outcome success(T v) { return {std::move(v), {}}; }
    static Outcome failure(std::string why) { return {std::nullopt, std::move(why)}; }
    bool ok() const { return value.has_value(); }
};

} // namespace vm::reference
