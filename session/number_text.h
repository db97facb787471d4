#pragma once
// Numbers as text for other programs, in the C locale whatever the user's: the runner's JSON and
// CSV, the exported files and the module's sweep columns all write them here.

#include <string>

namespace vm::session {

enum class NumberForm {
    single,   // a value held in single precision: 9 significant digits, which read back to it
    shortest, // a double: the shortest text that reads back to it
};

// The number's text; "nan", "inf" or "-inf" for a value that is no number.
std::string numberText(double v, NumberForm form);

// A CSV cell: the number's text, empty for a value that is no number.
std::string csvNumber(double v, NumberForm form);

} // namespace vm::session
