#include "plots/row_colors.h"

namespace vm::plots {

const std::array<QColor, 5>& rowColors() {
    static const std::array<QColor, 5> colours = {QColor(0, 0, 0), QColor(255, 0, 0),
                                                  QColor(0, 128, 0), QColor(128, 0, 128),
                                                  QColor(0, 0, 0)};
    return colours;
}

} // namespace vm::plots
