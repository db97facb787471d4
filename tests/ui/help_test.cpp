// Help on the main window: the setting notes in the note box, the right-click help files, the
// help window with the shipped help texts, the settings table of every lung part, the about
// window and the refusal of the window system's own help.

#include "window_fixture.h"

#include "ui/about_box.h"
#include "ui/help_window.h"
#include "ui/settings_table_dialog.h"
#include "ui/string_grid.h"
#include "ui/version_label.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <tuple>

using vm::data::TextGrid;

namespace {

class HelpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form = &w.start(folder);
        ASSERT_TRUE(w.interaction.messages.isEmpty());
    }
    void writeNotes(const std::string& text) const {
        std::ofstream(folder.path() / "helpfiles" / "pdp.txt", std::ios::binary) << text;
    }
    QStringList noteParagraphs() const {
        QStringList blocks;
        for (QTextBlock b = w.ui().RichEdit1()->document()->begin(); b.isValid(); b = b.next())
            blocks << b.text();
        return blocks;
    }
    QString helpFile(const char* name) const {
        return w.form->exeDir() + QStringLiteral("helpfiles/") + QString::fromLatin1(name);
    }
    DataFolder folder;
    WindowUnderTest w;
    TForm1* form = nullptr;
};

const QString kDashes = QStringLiteral("<dashes>");

} // namespace

TEST_F(HelpTest, NoteBoxShowsBothPartsWithADashLineOnlyBetweenTwoTexts) {
    struct Case {
        const char* file;
        QStringList paragraphs;
    };
    const Case cases[] = {
        {"#2\nabc\n+++\ndef\n*\n", {"abc", kDashes, "de"}},
        {"#2\nabc\n*\n", {"abc", ""}},
        {"#2\n+++def\n*\n", {"", "de"}},
        {"#2\nfirst\n*\n#2\nsecond\n*\n", {"second", ""}},
        {"#1\nabc\n*\n", {"", ""}}, // no entry 2
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        writeNotes(c.file);
        WindowProbe(*form).ShowSettingNote(2);
        QStringList expected = c.paragraphs;
        const QStringList shown = noteParagraphs();
        if (const qsizetype k = expected.indexOf(kDashes); k >= 0 && k < shown.size())
            expected[k] = shown[k];
        EXPECT_EQ(shown, expected);
    }
    // The dash line is the longest that stays narrower than the box's text width.
    writeNotes("#2\nabc\n+++\ndef\n*\n");
    WindowProbe(*form).ShowSettingNote(2);
    const QString dashes = noteParagraphs().value(1);
    const QTextEdit* box = w.ui().RichEdit1();
    const int width =
        box->viewport()->width() - 2 * static_cast<int>(box->document()->documentMargin());
    const QFontMetrics metrics(box->font());
    EXPECT_EQ(dashes, QString(dashes.size(), QLatin1Char('-')));
    EXPECT_LT(metrics.horizontalAdvance(dashes), width);
    EXPECT_GE(metrics.horizontalAdvance(dashes + QLatin1Char('-')), width);
    EXPECT_TRUE(w.interaction.messages.isEmpty());
}

TEST_F(HelpTest, NoteThatCannotBeReadIsReportedAndTheBoxKeepsItsText) {
    w.ui().RichEdit1()->setPlainText(QStringLiteral("before"));
    writeNotes("#2\nabc\n*\n#x3\ndef\n*\n");
    WindowProbe(*form).ShowSettingNote(2);
    std::filesystem::remove(folder.path() / "helpfiles" / "pdp.txt");
    WindowProbe(*form).ShowSettingNote(2);
    ASSERT_EQ(w.interaction.messages.size(), 2);
    EXPECT_EQ(w.interaction.messages[0], QStringLiteral("'x3' is not a valid integer value"));
    EXPECT_TRUE(w.interaction.messages[1].startsWith(QStringLiteral("File not found: ")));
    EXPECT_EQ(w.ui().RichEdit1()->toPlainText(), QStringLiteral("before"));
}

TEST_F(HelpTest, RightClickOpensTheControlsHelpFile) {
    const WindowProbe ui = w.ui();
    const std::pair<QWidget*, const char*> cases[] = {
        {ui.label("Label51"), "H0000.rtf"}, // "1600 (b.ciężka)" lies among the intermediate
        {ui.label("Label47"), "H0000.rtf"}, // the CCC scale
        {ui.Image3(), "H0000.rtf"},         {ui.Button2(), "H0000.rtf"},
        {ui.label("Label25"), "H0001.rtf"}, // "VDc" and its scale
        {ui.label("Label42"), "H0001.rtf"}, {ui.Panel1(), "H0001.rtf"},
        {ui.Panel2(), "H0002.rtf"},         {ui.label("Label9"), "H0002.rtf"},
        {ui.label("Label30"), "H0003.rtf"}, {ui.label("Label18"), "H0004.rtf"},
        {ui.StringGrid1(), "H0006.rtf"},
    };
    for (const auto& [control, file] : cases) {
        SCOPED_TRACE(control->objectName().toStdString());
        w.interaction.helpFiles.clear();
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_TRUE(w.interaction.helpFiles.isEmpty());
        QTest::mouseClick(control, Qt::RightButton, {}, QPoint(2, 2));
        EXPECT_EQ(w.interaction.helpFiles, QStringList{helpFile(file)});
    }
    w.interaction.helpFiles.clear();
    ui.Help2()->trigger();
    ui.HELP1()->trigger();
    EXPECT_EQ(w.interaction.helpFiles, QStringList({helpFile("H0000.rtf"), helpFile("H0005.rtf")}));
}

TEST(HelpWindow, ShowsEveryShippedHelpFileWithItsPolishLetters) {
    TForm4 window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Spirometry help"));
    EXPECT_EQ(window.size(), QSize(654, 518));
    EXPECT_TRUE(window.RichEdit1->isReadOnly());
    for (int k = 0; k <= 6; ++k) {
        const QString path = QStringLiteral(VM_RUNTIME_DIR "/helpfiles/H000%1.rtf").arg(k);
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(window.loadHelpFile(path.toStdString()).has_value());
        const QString text = window.RichEdit1->toPlainText();
        EXPECT_GT(text.size(), 100);
        // Windows-1250 letters decoded, none left as a replacement or as Latin-1 look-alikes.
        EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("[ąęłńśźżŁŚŻ]"))));
        EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[\uFFFD³¹æê¿]"))));
    }
}

TEST(HelpWindow, FileThatCannotBeShownIsReportedAndTheWindowStaysClosed) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("H0009.rtf"));
    const QString malformed = dir.filePath(QStringLiteral("bad.rtf"));
    std::ofstream(malformed.toStdString()) << "{\\rtf1 {unclosed";
    TForm4 window;
    QStringList reports;
    for (const QString& path : {missing, malformed})
        ShowHelpFile(window, path.toStdString(), [&](const QString& text) { reports << text; });
    ASSERT_EQ(reports.size(), 2);
    EXPECT_EQ(reports[0], QStringLiteral("Cannot open file ") + missing +
                              QStringLiteral("\nFile not found: ") + missing +
                              QStringLiteral(" (No such file or directory)"));
    EXPECT_TRUE(reports[1].startsWith(QStringLiteral("Cannot read help file ") + malformed));
    EXPECT_FALSE(window.isVisible());
}

TEST_F(HelpTest, SettingsTableShowsTheShownRowBesideTheReference) {
    // Every part of the reference and of row 2 at 100, but row 2's central resistance of both
    // lungs at 141.4 and its intermediate resistance of the upper right lobe at 1600.
    for (int part = 0; part < 8; ++part)
        for (int c = 0; c < 8; ++c) {
            w.record.setPartSetting(0, part, c, 100.0f);
            w.record.setPartSetting(2, part, c, 100.0f);
        }
    w.record.setPartSetting(2, 2, 0, 141.4f);
    w.record.setPartSetting(2, 5, 2, 1600.0f);
    std::vector<TextGrid> shown;
    w.interaction.onModalWindow = [&](QDialog& window) {
        auto& table = dynamic_cast<SettingsTableWindow&>(window);
        EXPECT_TRUE(table.windowTitle().isEmpty());
        EXPECT_FALSE(table.grid()->isEnabled());
        EXPECT_EQ(table.size(), QSize(9 * 65, 9 * 25));
        shown.push_back(table.grid()->cells());
    };
    ASSERT_EQ(w.state.selectedRow, -1);
    w.ui().parametry1()->trigger();
    w.state.selectedRow = 2;
    w.ui().parametry1()->trigger();
    ASSERT_EQ(shown.size(), 2u);

    const char* headings[] = {"",    "R",       "VDc", "R(1/swiat)", "--stiff--", "OBW. R(1/swia)",
                              "CCC", "Rozmiar", "Cm"};
    const char* parts[] = {"Both lungs",    "Left lung",      "Right lung",      "Upper Left L.",
                           "Lower Left L.", "Upper Right L.", "Middle Right L.", "Lower Right L."};
    for (int c = 0; c < 9; ++c)
        EXPECT_EQ(shown[0].cell(c, 0), headings[c]);
    for (int r = 1; r < 9; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(shown[0].cell(0, r), parts[r - 1]);
        for (int c = 1; c < 9; ++c)
            EXPECT_EQ(shown[0].cell(c, r), c == 4 ? "" : "100 (100)");
        EXPECT_EQ(shown[1].cell(4, r), "");
    }
    EXPECT_EQ(shown[1].cell(1, 1), "141 (100)");
    EXPECT_EQ(shown[1].cell(3, 6), "1600 (100)");
    EXPECT_EQ(shown[1].cell(3, 7), "100 (100)");
}

TEST(AboutBox, ShiftRightClickShowsTheCreditUntilTheWindowIsHidden) {
    TAboutBox box;
    const double factor = QApplication::primaryScreen()->geometry().width() / 1024.0;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Autorzy"));
    EXPECT_EQ(box.size(), QSize(std::lround(460 * factor), std::lround(335 * factor)));
    EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(box.Version->text(), QStringLiteral("Version: ") + versionLabel());
    EXPECT_FALSE(box.AuthorsLabel->text().isEmpty());

    box.show();
    const std::pair<Qt::MouseButton, Qt::KeyboardModifiers> nothing[] = {
        {Qt::RightButton, Qt::NoModifier},
        {Qt::LeftButton, Qt::ShiftModifier},
        {Qt::RightButton, Qt::ControlModifier},
    };
    for (const auto& [button, modifiers] : nothing) {
        QTest::mouseClick(box.Panel1, button, modifiers, QPoint(5, 5));
        EXPECT_TRUE(box.Panel1->isVisible());
        EXPECT_FALSE(box.PaintBox1->isVisible());
    }
    QTest::mouseClick(box.Panel1, Qt::RightButton, Qt::ShiftModifier, QPoint(5, 5));
    EXPECT_FALSE(box.Panel1->isVisible());
    EXPECT_TRUE(box.PaintBox1->isVisible());
    EXPECT_EQ(box.PaintBox1->geometry(), box.Panel1->geometry());
    box.hide();
    box.show();
    EXPECT_TRUE(box.Panel1->isVisible());
    EXPECT_FALSE(box.PaintBox1->isVisible());
}

// The panel's edge, from outside in: a lowered outer bevel (shadow above and left, light below
// and right) and a raised inner one (the other way round), then the window's silver.
TEST(AboutBox, PanelHasALoweredOuterAndARaisedInnerBevel) {
    TAboutBox box;
    box.show();
    const QImage panel = box.Panel1->grab().toImage();
    const QRgb shadow = box.Panel1->palette().color(QPalette::Dark).rgb();
    const QRgb light = box.Panel1->palette().color(QPalette::Light).rgb();
    const int w = panel.width(), h = panel.height();
    // From each edge's middle inwards: outer, inner, inside; (dx, dy) steps inwards.
    for (const auto& [x, y, dx, dy, outer, inner] :
         {std::tuple{w / 2, 0, 0, 1, shadow, light}, std::tuple{0, h / 2, 1, 0, shadow, light},
          std::tuple{w / 2, h - 1, 0, -1, light, shadow},
          std::tuple{w - 1, h / 2, -1, 0, light, shadow}}) {
        EXPECT_EQ(panel.pixel(x, y), outer) << x << "," << y;
        EXPECT_EQ(panel.pixel(x + dx, y + dy), inner) << x << "," << y;
        EXPECT_EQ(panel.pixel(x + 2 * dx, y + 2 * dy), qRgb(192, 192, 192)) << x << "," << y;
    }
    EXPECT_NE(shadow, light);
}

TEST_F(HelpTest, TheMainWindowSharesTheVersionAndOpensTheAboutWindow) {
    EXPECT_TRUE(form->windowTitle().contains(versionLabel()));
    w.ui().About1()->trigger();
    EXPECT_EQ(w.interaction.aboutBoxes, 1);
}

TEST_F(HelpTest, TheWindowSystemsOwnHelpIsDeclined) {
    QLabel* label = w.ui().label("Label24");
    label->setWhatsThis(QStringLiteral("system help"));
    QHelpEvent query(QEvent::QueryWhatsThis, QPoint(1, 1), label->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(label, &query);
    EXPECT_FALSE(query.isAccepted());
    QHelpEvent request(QEvent::WhatsThis, QPoint(1, 1), label->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(label, &request);
    for (const QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(top->isVisible() && top->inherits("QWhatsThat"));
}
