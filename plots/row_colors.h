#pragma once
// The colour of each record row, shared by the plots and the results tables.

#include <QColor>

#include <array>

namespace vm::plots {

// Row 0 reference black, row 1 newest result red, row 2 green, row 3 purple, row 4 black.
const std::array<QColor, 5>& rowColors();

} // namespace vm::plots
