#include "ui/main_window_geometry.h"

#include "ui/track_bar_scales.h"

#include "record/settings_table.h"

#include <cstdint>
#include <cstdlib>

namespace vm::ui {

namespace {

int roundEven(double v) {
    return static_cast<int>(roundHalfEven(v));
}

// A design size that holds text, grown or shrunk with the window font so the text stays inside.
int textSize(const LayoutInputs& in, int designSize) {
    return MulDiv(designSize, in.fontPixelSize, LayoutInputs::kDesignFontPixelSize);
}

// The airway picture, both plots and the results table across the top of the window.
void placeTopRow(MainWindowGeometry& g, const LayoutInputs& in) {
    const int W = in.clientWidth;
    const int H = in.clientHeight;
    g.image1 = {10, 0, roundEven(0.38 * W), MulDiv(H, 55, 100)};
    g.image2 = {g.image1.right() + 10, g.image1.top, g.image1.width,
                MulDiv(g.image1.height, 75, 100)};
    g.image3 = {g.image2.left, g.image2.bottom() + MulDiv(g.image1.height, 1, 100), g.image2.width,
                MulDiv(g.image1.height, 24, 100)};

    const int gridLeft = g.image2.right() + 10;
    const int X = W - gridLeft - 10;
    g.stringGrid1 = {gridLeft, g.image2.top, X, g.image1.height};
    g.resultsColumnWidth = {roundEven(0.33 * X), roundEven(0.12 * X), roundEven(0.2 * X),
                            roundEven(0.2 * X), roundEven(0.11 * X)};
    g.resultsRowHeight = g.stringGrid1.height / in.resultsRowCount - in.gridLineWidth;
    g.resultsFontSize10 = in.screenHeight > 768;
}

// The grey panel below, the two silver frames and the four group panels inside them.
void placeGroupPanels(MainWindowGeometry& g, const LayoutInputs& in) {
    const int W = in.clientWidth;
    const int H = in.clientHeight;
    g.panel6.left = 10;
    g.panel6.top = g.image1.bottom() + 10;
    g.panel6.width = W - 20;
    g.panel6.height = H - g.panel6.top - 20;

    g.panel5 = {20, g.panel6.top + in.comboBoxHeight + 10, MulDiv(W, 38, 100),
                g.panel6.height / 2 - 5};
    const int E = panelUnit(W);
    g.unitE = E;
    g.panel7 = {g.panel5.right() + 5, g.panel5.top, E + 10, g.panel5.height};

    // The headings stand in the gap above the group panels.
    const int headingGap = textSize(in, 15);
    const int D = g.panel5.height - headingGap - 5;
    const int groupTop = g.panel5.top + headingGap;
    g.groupPanel[1] = {g.panel5.left + 5, groupTop, groupPanelWidth(1, E), D};
    g.groupPanel[2] = {g.panel5.left + g.groupPanel[1].width + 20, groupTop, groupPanelWidth(2, E),
                       D};
    g.groupPanel[3] = {g.panel5.left + 2 * E + 35, groupTop, groupPanelWidth(3, E), D};
    g.groupPanel[4] = {g.panel7.left + 5, groupTop, groupPanelWidth(4, E), D};

    g.headingLeft[0] = 5;
    g.headingLeft[1] = ((g.panel5.width - in.headingWidth[1]) / 10) * 4;
    g.headingLeft[2] = g.panel5.width - in.headingWidth[2] - 15;
    g.headingLeft[3] = (g.panel7.width - in.headingWidth[3]) / 2;
}

// Each bar of a group at its slot, with its caption and scale marks, relative to its group panel.
// The marks stand at the hundreds of the bar's range, the scale's last label at the bottom.
void placeTrackBars(MainWindowGeometry& g, const LayoutInputs& in) {
    const int E = g.unitE;
    const int D = g.groupPanel[1].height;
    const int barHeight = MulDiv(D, 4, 5);
    const int barTop = D - barHeight - 1;
    for (const record::Setting& spec : record::kSettings) {
        if (spec.section == 0)
            continue;
        const auto n = static_cast<std::size_t>(spec.trackBar);
        const int panel = record::controlGroupOfSection(spec.section).panel;
        const int groupWidth = g.groupPanel[static_cast<std::size_t>(panel)].width;
        const int width = in.trackBarWidth[n];
        const int captionWidth = in.captionWidth[n];
        TrackBarPlace& t = g.trackBar[n];
        const SlotPlace place = slotPlace(spec.slot, E, groupWidth, width, captionWidth);
        const int left = place.bar;
        const int captionLeft = place.caption;
        int markLeft = place.scale;
        if (spec.scaleCentredInGroup)
            markLeft = (groupWidth - in.sharedScaleWidth[static_cast<std::size_t>(panel)]) / 2;
        t.bar = {left, barTop, width, barHeight};
        t.caption = {captionLeft, barTop - in.captionHeight + 2, captionWidth, in.captionHeight};
        t.markLeft = markLeft;

        const int hundreds = (spec.maximum - spec.minimum) / 100;
        int labels = 0;
        for (const record::SettingLabel& label : spec.scaleLabels)
            labels += label.name != nullptr ? 1 : 0;
        t.markCount = labels;
        for (int k = 0; k < labels; ++k)
            t.markTop[static_cast<std::size_t>(k)] =
                barTop + roundEven(barHeight / 25.0) +
                (hundreds + 1 - labels + k) * roundEven(0.8 * barHeight / hundreds);
    }
}

// START and the animation buttons, the row commands, the row grid, the data-source label and the
// note box.
void placeCommandsAndRows(MainWindowGeometry& g, const LayoutInputs& in) {
    const int buttonsLeft = g.panel7.right() + 5;
    const auto text = [&in](int designSize) { return textSize(in, designSize); };
    g.button2 = {buttonsLeft, g.panel7.top, text(90), text(40)};
    g.button1 = {buttonsLeft, g.button2.bottom() + 6, text(43), text(27)};
    g.button9 = {buttonsLeft, g.button1.bottom() + 6, text(43), text(25)};
    g.button10 = {g.button9.right() + 5, g.button9.top, text(43), text(25)};
    g.button8 = {buttonsLeft, g.button9.bottom() + 1, text(90), text(25)};

    g.groupBox1.left = buttonsLeft;
    g.groupBox1.top = g.panel5.bottom() + 5;
    g.groupBox1.width = text(90);
    g.groupBox1.height = g.panel6.bottom() - g.groupBox1.top - 5;
    const int w = g.groupBox1.width;
    const int h = g.groupBox1.height;
    g.button3 = {roundEven(0.1 * w), roundEven(0.2 * h), roundEven(0.8 * w), text(20)};
    g.button6 = {g.button3.left, g.button3.bottom() + 10, g.button3.width, text(20)};

    const int F = g.unitE / 2;
    g.rowGridColumnWidth = {F, F, 15, F, F, 15, F, F, 15, F, F};
    g.stringGrid2.left = 20;
    g.stringGrid2.top = g.panel5.bottom() + 5;
    for (int cw : g.rowGridColumnWidth)
        g.stringGrid2.width += cw + 1;
    g.rowGridRowHeight = (g.panel6.bottom() - g.stringGrid2.top - 5) / in.rowGridRowCount;
    g.stringGrid2.height = (g.rowGridRowHeight + 1) * in.rowGridRowCount;

    g.label26 = {g.button2.left, 5, 0, 0};

    g.richEdit1.left = g.button2.right() + 5;
    g.richEdit1.top = g.panel7.top;
    g.richEdit1.height = g.panel7.height;
    g.richEdit1.width = g.panel6.right() - g.richEdit1.left - 10;
}

} // namespace

MainWindowGeometry computeMainWindowGeometry(const LayoutInputs& in) {
    MainWindowGeometry g;
    placeTopRow(g, in);
    placeGroupPanels(g, in);
    placeTrackBars(g, in);
    placeCommandsAndRows(g, in);
    return g;
}

} // namespace vm::ui
