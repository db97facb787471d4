#include "ui/settings_table_dialog.h"

#include "record/settings_table.h"
#include "session/results_table.h"
#include "ui/string_grid.h"

#include <QPainter>

#include <array>

using namespace vm::record;

namespace vm::ui {

namespace {
constexpr int kSize = 9;
static_assert(kSize == layout::kSettingColumns + 1);

// Grid columns 1..8 show setting columns 0..7 in order.
const Setting& settingOfColumn(int column) {
    return *settingOf(SettingTarget::column(static_cast<SettingColumn>(column)));
}

struct PartRow {
    const char* heading;
    int part;
};
constexpr std::array<PartRow, kSize - 1> kPartRows{{
    {"Both lungs", 2},
    {"Left lung", 0},
    {"Right lung", 1},
    {"Upper Left L.", 3},
    {"Lower Left L.", 4},
    {"Upper Right L.", 5},
    {"Middle Right L.", 6},
    {"Lower Right L.", 7},
}};

std::string settingText(float value) {
    return session::formatNumber(value, 5, 0, '.');
}
} // namespace

SettingsTableWindow::SettingsTableWindow(QWidget* owner, const SimulationRecord& record,
                                         int selectedRow)
    : QDialog(owner, Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("SettingsTable"));
    setWindowTitle(QString());

    grid_ = new StringGrid(kSize, kSize, this);
    grid_->setObjectName(QStringLiteral("StringGrid1"));
    grid_->setEnabled(false);
    data::TextGrid& cells = grid_->cells();
    for (int c = 1; c < kSize; ++c)
        cells.setCell(c, 0, settingOfColumn(c - 1).tableHeading);

    const int shown = selectedRow < 0 ? 0 : selectedRow;
    for (int r = 1; r < kSize; ++r) {
        const PartRow& row = kPartRows[static_cast<std::size_t>(r - 1)];
        cells.setCell(0, r, row.heading);
        for (int c = 1; c < kSize; ++c) {
            const std::string text = settingText(record.partSetting(shown, row.part, c - 1)) +
                                     " (" + settingText(record.partSetting(0, row.part, c - 1)) +
                                     ")";
            // A setting without a control of its own shows its heading but no values.
            cells.setCell(c, r, settingOfColumn(c - 1).shown ? text : std::string());
        }
    }

    // Fixed cells on the button colour, the others on the window's base colour.
    grid_->setDrawCellHandler([this](QPainter& painter, int column, int row, const QRect& rect) {
        const bool fixed = column == 0 || row == 0;
        painter.fillRect(rect, palette().color(fixed ? QPalette::Button : QPalette::Base));
        painter.setPen(palette().color(QPalette::Active, QPalette::Text));
        painter.drawText(rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromStdString(grid_->cells().cell(column, row)));
    });

    int width = 0;
    for (int c = 0; c < kSize; ++c)
        width += grid_->columnWidth(c) + 1;
    int height = 0;
    for (int r = 0; r < kSize; ++r)
        height += grid_->rowHeight(r) + 1;
    grid_->setGeometry(0, 0, width, height);
    setFixedSize(width, height);
}

} // namespace vm::ui
