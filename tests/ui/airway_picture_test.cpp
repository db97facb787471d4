// The airway picture as the user meets it: the mouse over its regions changes the picture and
// names the region in the yellow box, clicks select groups and open help, and the timer takes
// the picture back to its plain state.

#include "window_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>

namespace {
// Each picture one plain colour, so the shown one can be told apart.
const QColor kPictureColours[] = {Qt::black, Qt::magenta, Qt::red, Qt::green, Qt::blue, Qt::cyan};

class AirwayPictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Regions (x %, y %, code): code 3 in the middle, 1 top left, a foreign 30 bottom right.
        const std::string table = "0;x;y;code\n1;50;50;3\n2;20;20;1\n3;80;80;30\n";
        folder.writeBytes("F000.dat", std::vector<std::uint8_t>(table.begin(), table.end()));
        form = &w.start(folder);
        for (int k = 1; k <= 5; ++k) {
            QImage picture(8, 6, QImage::Format_RGB32);
            picture.fill(kPictureColours[k]);
            WindowProbe(*form).pictureTable()[static_cast<std::size_t>(k)] = picture;
        }
        form->show();
    }
    // The mouse at (x %, y %) of the picture.
    QPoint mouse(int x, int y, Qt::MouseButton button = Qt::NoButton) {
        ImageView* image = w.ui().Image1();
        const QPoint p(image->width() * x / 100, image->height() * y / 100);
        for (QEvent::Type type : {QEvent::MouseMove, QEvent::MouseButtonPress}) {
            QMouseEvent event(type, QPointF(p), image->mapToGlobal(QPointF(p)), button, button,
                              Qt::NoModifier);
            if (type == QEvent::MouseMove || button != Qt::NoButton)
                QApplication::sendEvent(image, &event);
        }
        return p;
    }
    QColor shown() const {
        const QImage& canvas = w.ui().Image1()->canvas();
        return canvas.pixelColor(canvas.width() / 2, canvas.height() / 2);
    }

    DataFolder folder;
    WindowUnderTest w;
    TForm1* form = nullptr;
};
} // namespace

TEST_F(AirwayPictureTest, TheMouseShowsARegionWithItsHintAndTheTimerTakesItBack) {
    EXPECT_EQ(WindowProbe(*form).airway().currentPicture(), 1)
        << "the first paint shows the plain picture";
    const QPoint middle = mouse(50, 50);
    EXPECT_EQ(shown(), kPictureColours[3]);
    QLabel* hint = w.ui().Memo1();
    ASSERT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->text(), QStringLiteral(" pośrednie"));
    EXPECT_EQ(hint->geometry(),
              QRect(w.ui().Image1()->pos() + middle + QPoint(5, -hint->height() - 5),
                    QSize(100, hint->height())));
    EXPECT_TRUE(WindowProbe(*form).Timer1()->isActive());

    // The shown picture is not drawn again; the timer hides the box and covers whatever a lung
    // frame left, even over picture 1.
    w.ui().Image1()->canvas().fill(Qt::black);
    mouse(51, 51);
    EXPECT_EQ(shown(), QColor(Qt::black));
    WindowProbe(*form).Timer1Timer();
    EXPECT_FALSE(hint->isVisible());
    w.ui().Image1()->canvas().fill(Qt::black);
    WindowProbe(*form).Timer1Timer();
    EXPECT_EQ(shown(), kPictureColours[1]);

    // While a group is selected the picture stays, whatever the mouse and the timer do.
    WindowProbe(*form).Panel3Click();
    mouse(50, 50);
    WindowProbe(*form).Timer1Timer();
    EXPECT_EQ(shown(), kPictureColours[4]);
}

TEST_F(AirwayPictureTest, ClicksSelectTheGroupOrOpenTheHelpButNotDuringARunOrAReplay) {
    for (const bool replay : {false, true}) {
        WindowProbe(*form).setBusy(!replay, replay);
        mouse(50, 50, Qt::LeftButton);
        mouse(20, 20, Qt::RightButton);
        WindowProbe(*form).setBusy(false, false);
    }
    EXPECT_EQ(WindowProbe(*form).activeSection(), 0);
    EXPECT_TRUE(w.interaction.helpFiles.isEmpty());
    EXPECT_EQ(WindowProbe(*form).hoveredRegion(), -1);

    mouse(20, 20, Qt::RightButton);
    mouse(5, 95, Qt::RightButton);
    mouse(80, 80, Qt::RightButton); // a foreign code: no help
    ASSERT_EQ(w.interaction.helpFiles.size(), 2);
    EXPECT_TRUE(w.interaction.helpFiles[0].endsWith(QStringLiteral("helpfiles/H0001.rtf")));
    EXPECT_TRUE(w.interaction.helpFiles[1].endsWith(QStringLiteral("helpfiles/H0000.rtf")));

    mouse(50, 50, Qt::LeftButton);
    EXPECT_EQ(WindowProbe(*form).activeSection(), 3);
    // With a group selected no region is hovered, so any click clears the group.
    mouse(50, 50, Qt::LeftButton);
    EXPECT_EQ(WindowProbe(*form).activeSection(), 0);
}

// A new client area lays the window out again; the picture shown stays the one the selection
// asks for, and is the one the picture says it shows.
TEST_F(AirwayPictureTest, ANewLayoutRedrawsThePictureOfTheSelectedGroup) {
    form->showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    ASSERT_TRUE(form->isMaximized());
    w.ui().Panel3Click();
    ASSERT_EQ(shown(), kPictureColours[4]);
    const QSize before = w.ui().Image1()->size();
    form->centralWidget()->resize(form->centralWidget()->size() - QSize(60, 40));
    ASSERT_NE(w.ui().Image1()->size(), before) << "laid out again";
    EXPECT_EQ(w.ui().airway().currentPicture(), 4);
    EXPECT_EQ(shown(), kPictureColours[4]);
}
