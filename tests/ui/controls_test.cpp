// The main window's controls as the user finds them after start-up, the menu bar, and how a
// command that hits a range error ends.

#include "ui/track_bar_scales.h"
#include "window_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vm::session;
using namespace vm::ui;

class ControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        w.start(folder);
        ASSERT_TRUE(w.interaction.messages.isEmpty());
    }
    template <class T> T* find(const char* name) {
        return w.form->findChild<T*>(QString::fromLatin1(name));
    }
    DataFolder folder;
    WindowUnderTest w;
};

// Every bar of the settings table: its range and default, shown or not, upright in a group (its
// minimum at the top) and lying across in none; no group is selected after start-up, so nothing
// visible can be moved.
TEST_F(ControlsTest, TrackBarsHaveTheirRangesAndStartDisabledAtTheirDefaults) {
    w.form->show();
    for (const Setting& spec : kSettings) {
        SCOPED_TRACE("TrackBar" + std::to_string(spec.trackBar));
        const QSlider* bar = find<QSlider>(("TrackBar" + std::to_string(spec.trackBar)).c_str());
        ASSERT_EQ(bar, w.ui().trackBar(spec.trackBar));
        EXPECT_EQ(bar->minimum(), spec.minimum);
        EXPECT_EQ(bar->maximum(), spec.maximum);
        EXPECT_EQ(bar->value(), spec.defaultPosition);
        EXPECT_EQ(bar->isVisible(), spec.shown);
        const bool inGroup = spec.section != 0;
        EXPECT_EQ(bar->orientation(), inGroup ? Qt::Vertical : Qt::Horizontal);
        if (inGroup) {
            EXPECT_FALSE(bar->isEnabled());
            EXPECT_TRUE(bar->invertedAppearance());
        }
    }
}

// A group enables its shown bars and their scales, and nothing else; captions and headings are
// never disabled.
TEST_F(ControlsTest, SelectingAGroupEnablesOnlyItsTrackBarsAndScales) {
    for (const ControlGroup& group : kControlGroups) {
        w.ui().SelectSection(group.section);
        EXPECT_EQ(w.ui().activeSection(), group.section);
        EXPECT_TRUE(find<QLabel>(group.heading.name)->isEnabled());
        for (const Setting& spec : kSettings) {
            if (spec.section == 0)
                continue;
            SCOPED_TRACE("TrackBar" + std::to_string(spec.trackBar) + " in section " +
                         std::to_string(group.section));
            const bool selected = spec.section == group.section;
            EXPECT_EQ(w.ui().trackBar(spec.trackBar)->isEnabled(), selected && spec.shown);
            EXPECT_TRUE(find<QLabel>(spec.caption.name)->isEnabled());
            for (const SettingLabel& label : spec.scaleLabels)
                if (label.name != nullptr) {
                    EXPECT_EQ(find<QLabel>(label.name)->isEnabled(), selected) << label.name;
                }
        }
    }
}

TEST_F(ControlsTest, EveryScaleLabelSitsBesideItsBarAndFollowsItsGroup) {
    for (const unsigned char section : {1, 3, 4, 5}) {
        w.ui().SelectSection(section);
        for (const Setting& spec : kSettings) {
            SCOPED_TRACE("TrackBar" + std::to_string(spec.trackBar));
            const QObject* panel = w.ui().trackBar(spec.trackBar)->parent();
            QLabel* caption = w.ui().label(spec.caption.name);
            EXPECT_EQ(caption->parent(), panel);
            EXPECT_TRUE(caption->isEnabled());
            for (const SettingLabel& mark : spec.scaleLabels) {
                if (mark.name == nullptr)
                    continue;
                QLabel* label = w.ui().label(mark.name);
                EXPECT_EQ(label->parent(), panel) << mark.name;
                EXPECT_EQ(label->text(), QString::fromUtf8(mark.text)) << mark.name;
                EXPECT_EQ(label->isEnabled(), spec.section == section) << mark.name;
            }
        }
    }
}

TEST_F(ControlsTest, LabelsAndButtonsCarryTheirTexts) {
    const std::pair<const char*, const char*> labels[] = {
        {"Label24", "R"},
        {"Label25", "VDc"},
        {"Label28", " R(1/światło)"},
        {"Label29", " R(1/światło)"},
        {"Label30", "CCC"},
        {"Label31", "Rozmiar"},
        {"Label32", "Cm"},
        {"Label27", "Stiff"},
        {"Label53", "głębokość wydechu"},
        {"Label5", "GŁÓWNE"},
        {"Label11", "POŚREDNIE"},
        {"Label16", "OBWODOWE"},
        {"Label21", "PŁUCA"},
        {"Label26", "Dane z pliku:  Standard"},
        {"Label33", "50%"},
        {"Label4", "800%"},
        {"Label8", "200 (łagodna)"},
        {"Label51", "1600 (b.ciężka)"},
        {"Label42", "150%"},
        {"Label15", "800%"},
        {"Label49", "250%"},
        {"Label37", "75%"},
        {"Label39", "150%"},
    };
    for (const auto& [name, text] : labels) {
        auto* label = find<QLabel>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), QString::fromUtf8(text)) << name;
    }
    const std::pair<const char*, const char*> buttons[] = {
        {"Button1", "reset"},       {"Button2", "START"},
        {"Button3", "Usuń wiersz"}, {"Button6", "Użyj jako ref."},
        {"Button8", "animacja"},    {"Button9", "pauza"},
        {"Button10", "3"},
    };
    for (const auto& [name, text] : buttons) {
        auto* button = find<QPushButton>(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), QString::fromUtf8(text)) << name;
    }
    EXPECT_EQ(find<QGroupBox>("GroupBox1")->title(), QStringLiteral("Wybrany wiersz"));
    EXPECT_EQ(find<QPushButton>("Button3")->parent(), find<QGroupBox>("GroupBox1"));

    w.form->show();
    EXPECT_FALSE(find<QLabel>("Label27")->isVisible());
    EXPECT_FALSE(find<QLabel>("Label53")->isVisible());
    auto* combo = find<QComboBox>("ComboBox1");
    EXPECT_FALSE(combo->isVisible());
    EXPECT_EQ(combo->currentText(), QStringLiteral("Both lungs"));
    EXPECT_TRUE(w.ui().RichEdit1()->isReadOnly());
    EXPECT_EQ(w.ui().RichEdit1()->font().pixelSize(), 16);
    EXPECT_EQ(w.form->font().pixelSize(), 11);
    const QPalette dataSource = find<QLabel>("Label26")->palette();
    EXPECT_EQ(dataSource.color(QPalette::WindowText), QColor(0, 255, 0));
}

TEST_F(ControlsTest, MenuBarAndRowMenuHoldTheirEntriesInOrder) {
    QStringList top;
    for (QAction* action : w.form->menuBar()->actions())
        top << action->text();
    EXPECT_EQ(top, (QStringList{"Plik", "Eksport", "Przypadki", "Pacjent", "Interpretacja",
                                "ref.Standard", QStringLiteral("Przywróć wszystkie nastawy"),
                                "Pomoc", "Autorzy", "Koniec"}));
    QStringList file;
    for (QAction* action : w.ui().File1()->actions())
        file << action->text();
    EXPECT_EQ(file, (QStringList{QStringLiteral("Otwórz"), "Zapisz", "Zapisz jako"}));
    QStringList rowMenu;
    for (QAction* action : w.ui().PopupMenu1()->actions())
        rowMenu << action->text();
    EXPECT_EQ(rowMenu, (QStringList{QStringLiteral("Usuń wybrany wiersz"),
                                    QStringLiteral("Użyj jako referencyjny"), "Nastawy", "Pomoc",
                                    "Interpretacja"}));
}

TEST_F(ControlsTest, KoniecClosesTheWindow) {
    w.form->show();
    ASSERT_TRUE(w.form->isVisible());
    w.ui().Open1()->trigger(); // entries still to be built do nothing and tell nothing
    EXPECT_TRUE(w.form->isVisible());
    EXPECT_TRUE(w.interaction.messages.isEmpty());
    w.ui().Quit1()->trigger();
    EXPECT_FALSE(w.form->isVisible());
}

TEST_F(ControlsTest, RangeErrorStopsTheCommandWithItsMessage) {
    bool finished = false;
    // A record row index outside 0..4 is refused by the record; the command ends there.
    const bool ok = w.form->runCommand([&] {
        w.ui().FillGridRow(1, 5);
        finished = true;
    });
    EXPECT_FALSE(ok);
    EXPECT_FALSE(finished);
    ASSERT_EQ(w.interaction.messages.size(), 1);
    EXPECT_FALSE(w.interaction.messages.first().isEmpty());
    // The window goes on working.
    EXPECT_TRUE(w.form->runCommand([&] { w.ui().FillGridRow(1, 1); }));
    EXPECT_EQ(w.interaction.messages.size(), 1);
}

TEST_F(ControlsTest, ImagesKeepTheirCanvasAcrossRepaints) {
    ImageView* plot = w.ui().Image2();
    ASSERT_GT(plot->width(), 10);
    EXPECT_EQ(plot->canvas().size(), plot->size());
    plot->canvas().setPixel(5, 5, qRgb(255, 0, 0));
    plot->repaintNow();
    const QImage shown = plot->grab().toImage();
    EXPECT_EQ(QColor::fromRgb(shown.pixel(5, 5)), QColor(255, 0, 0));
    EXPECT_EQ(QColor::fromRgb(shown.pixel(6, 5)), QColor(Qt::white));
}

TEST_F(ControlsTest, AClickOnTheGrooveBringsTheThumbThereAndPageKeysKeepTheirStep) {
    w.form->show();
    w.ui().Panel1Click();
    QSlider* bar = w.ui().trackBar(1);
    // Positions 100..500 from top to bottom: the groove's middle is about 300.
    const struct {
        int y;
        int low, high;
    } clicks[] = {{bar->height() - 2, 490, 500}, {bar->height() / 2, 290, 310}, {1, 100, 110}};
    for (const auto& click : clicks) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, click.y));
        EXPECT_GE(bar->value(), click.low) << click.y;
        EXPECT_LE(bar->value(), click.high) << click.y;
    }
    const int before = bar->value();
    QTest::keyClick(bar, Qt::Key_PageDown);
    EXPECT_EQ(std::abs(bar->value() - before), 2);
}
