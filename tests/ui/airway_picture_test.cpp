// The airway picture as the user meets it: the mouse over its regions changes the picture and
// names the region in the yellow box, clicks select groups and open help, and the timer takes
// the picture back to its plain state.

#include "window_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>

namespace {
// Each picture one plain colour, so the shown one can be told apart.
const QColor kPictureColours[] = {Qt::black, Qt::magenta, Qt::red, Qt::green, Qt::blue, Qt::cyan};

class AirwayPictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Regions (x %, y %, code): code 3 in the middle, code 1 top left, a foreign code 30
        // bottom right.
        const std::string table = "0;x;y;code\n1;50;50;3\n2;20;20;1\n3;80;80;30\n";
        folder.writeBytes("F000.dat", std::vector<std::uint8_t>(table.begin(), table.end()));
        form = &w.start(folder);
        ASSERT_TRUE(w.interaction.messages.isEmpty());
        ui = WindowProbe(*form);
        for (int k = 1; k <= 5; ++k) {
            QImage picture(8, 6, QImage::Format_RGB32);
            picture.fill(kPictureColours[k]);
            form->pictureTable[static_cast<std::size_t>(k)] = picture;
        }
        form->show();
    }

    // The point at (x %, y %) of the picture.
    QPoint at(int xPercent, int yPercent) const {
        return {ui.Image1()->width() * xPercent / 100, ui.Image1()->height() * yPercent / 100};
    }
    void send(QEvent::Type type, QWidget* widget, QPoint p, Qt::MouseButton button) {
        QMouseEvent event(type, QPointF(p), widget->mapToGlobal(QPointF(p)), button,
                          type == QEvent::MouseMove ? Qt::NoButton : button, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
    void move(QPoint p) { send(QEvent::MouseMove, ui.Image1(), p, Qt::NoButton); }
    void press(QPoint p, Qt::MouseButton button) {
        move(p);
        send(QEvent::MouseButtonPress, ui.Image1(), p, button);
    }
    QColor shown() const {
        const QImage& canvas = ui.Image1()->canvas();
        return canvas.pixelColor(canvas.width() / 2, canvas.height() / 2);
    }

    DataFolder folder;
    WindowUnderTest w;
    TForm1* form = nullptr;
    WindowProbe ui;
};
} // namespace

TEST_F(AirwayPictureTest, TheMouseShowsARegionWithItsHintAndTheTimerTakesItBack) {
    EXPECT_EQ(form->currentPicture(), 1) << "the first paint shows the plain picture";

    const QPoint middle = at(50, 50);
    move(middle);
    EXPECT_EQ(form->hoveredRegion, 1);
    EXPECT_EQ(shown(), kPictureColours[3]);
    ASSERT_TRUE(ui.Memo1()->isVisible());
    EXPECT_EQ(ui.Memo1()->text(), QStringLiteral(" pośrednie"));
    // Above and to the right of the pointer, ten pixels a character.
    const QPoint image1 = ui.Image1()->pos();
    EXPECT_EQ(ui.Memo1()->geometry(),
              QRect(image1.x() + middle.x() + 5, image1.y() + middle.y() - ui.Memo1()->height() - 5,
                    100, ui.Memo1()->height()));
    EXPECT_EQ(ui.Memo1()->palette().color(QPalette::Window), QColor(Qt::yellow));
    EXPECT_EQ(ui.Memo1()->font().pixelSize(), 16);
    EXPECT_TRUE(form->Timer1->isActive());
    // The picture already shown is not drawn again.
    ui.Image1()->canvas().fill(Qt::black);
    move(middle + QPoint(1, 1));
    EXPECT_EQ(shown(), QColor(Qt::black));

    // Passing over the box redraws the picture and leaves the hint.
    send(QEvent::MouseMove, ui.Memo1(), QPoint(2, 2), Qt::NoButton);
    EXPECT_TRUE(ui.Memo1()->isVisible());
    EXPECT_EQ(shown(), kPictureColours[3]);

    form->Timer1Timer();
    EXPECT_FALSE(ui.Memo1()->isVisible());
    EXPECT_EQ(shown(), kPictureColours[1]);

    // Empty picture area: the plain picture and no box.
    move(middle);
    move(at(5, 95));
    EXPECT_EQ(form->hoveredRegion, -1);
    EXPECT_EQ(shown(), kPictureColours[1]);
    EXPECT_FALSE(ui.Memo1()->isVisible());
    // The timer covers whatever a lung frame left over the plain picture.
    ui.Image1()->canvas().fill(Qt::black);
    form->Timer1Timer();
    EXPECT_EQ(shown(), kPictureColours[1]);

    // While a group is selected the picture does not follow the mouse, and the timer leaves it.
    form->Panel3Click();
    ASSERT_EQ(form->activeSection, 4);
    EXPECT_EQ(shown(), kPictureColours[4]);
    move(middle);
    EXPECT_EQ(form->hoveredRegion, -1);
    form->Timer1Timer();
    EXPECT_EQ(shown(), kPictureColours[4]);

    form->ShowAirwayPicture(-5, 0, 0);
    EXPECT_EQ(w.interaction.messages, QStringList{QStringLiteral("Bad num. -5")});
    EXPECT_EQ(shown(), kPictureColours[4]);
}

TEST_F(AirwayPictureTest, ClicksSelectTheRegionsGroupAndOpenItsHelp) {
    const auto lastHelp = [this] {
        return w.interaction.helpFiles.isEmpty() ? std::string()
                                                 : w.interaction.helpFiles.last().toStdString();
    };
    press(at(20, 20), Qt::RightButton);
    EXPECT_TRUE(lastHelp().ends_with("helpfiles/H0001.rtf")) << lastHelp();
    press(at(50, 50), Qt::RightButton);
    EXPECT_TRUE(lastHelp().ends_with("helpfiles/H0002.rtf")) << lastHelp();
    press(at(5, 95), Qt::RightButton);
    EXPECT_TRUE(lastHelp().ends_with("helpfiles/H0000.rtf")) << lastHelp();

    press(at(50, 50), Qt::LeftButton);
    EXPECT_EQ(form->activeSection, 3);
    // With a group selected no region is hovered, so any click clears the group.
    press(at(50, 50), Qt::LeftButton);
    EXPECT_EQ(form->activeSection, 0);

    // A code from a foreign table: no help, no group, the plain picture.
    const qsizetype helpShown = w.interaction.helpFiles.size();
    press(at(80, 80), Qt::RightButton);
    press(at(80, 80), Qt::LeftButton);
    EXPECT_EQ(form->hoveredRegion, 3);
    EXPECT_EQ(w.interaction.helpFiles.size(), helpShown);
    EXPECT_EQ(form->activeSection, 0);
    EXPECT_EQ(shown(), kPictureColours[1]);
}

TEST_F(AirwayPictureTest, TheMouseDoesNothingDuringARunOrAReplay) {
    for (bool TForm1::*busy : {&TForm1::runInProgress, &TForm1::animationBusy}) {
        form->*busy = true;
        press(at(50, 50), Qt::LeftButton);
        press(at(20, 20), Qt::RightButton);
        EXPECT_EQ(form->hoveredRegion, -1);
        EXPECT_EQ(shown(), kPictureColours[1]);
        EXPECT_FALSE(ui.Memo1()->isVisible());
        EXPECT_EQ(form->activeSection, 0);
        EXPECT_TRUE(w.interaction.helpFiles.isEmpty());
        form->*busy = false;
    }
}
