// The airway picture in the top-left corner: it follows the mouse over its regions, names the
// region under the pointer in a small yellow box, selects a region's track-bar group on a left
// click and opens its help on a right click. The lung animation draws over the same area until
// the picture is shown again.

#include "ui/main_window.h"

#include "data/hotspots.h"
#include "plots/plot_fonts.h"
#include "ui/interaction.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <utility>

using namespace vm::data;

namespace vm::ui {

namespace {
constexpr int kHintFontPixels = 16;

// Hands the events of one kind that a widget receives to a function; the event goes on as usual.
class EventHook : public QObject {
  public:
    EventHook(QObject* watched, QEvent::Type type, std::function<void()> onEvent)
        : QObject(watched), type_(type), onEvent_(std::move(onEvent)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == type_)
            onEvent_();
        return QObject::eventFilter(watched, event);
    }

  private:
    QEvent::Type type_;
    std::function<void()> onEvent_;
};
} // namespace

void TForm1::createAirwayPicture() {
    Memo1 = new QLabel(Image1->parentWidget());
    Memo1->setObjectName(QStringLiteral("Memo1"));
    QFont font(plots::installedFamily(QStringLiteral("MS Sans Serif"), QFont::SansSerif));
    font.setPixelSize(kHintFontPixels);
    Memo1->setFont(font);
    Memo1->setAutoFillBackground(true);
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Window, Qt::yellow);
    palette.setColor(QPalette::WindowText, Qt::black);
    Memo1->setPalette(palette);
    Memo1->resize(Memo1->width(), QFontMetrics(font).height() + 4);
    Memo1->setMouseTracking(true);
    Memo1->hide();

    Image1->setCursor(Qt::PointingHandCursor);
    connect(Image1, &ImageView::mouseMoved, this, [this](QMouseEvent* event) {
        const QPoint p = event->position().toPoint();
        runCommand([this, p] { Image1MouseMove(p.x(), p.y()); });
    });
    connect(Image1, &ImageView::mousePressed, this, [this](QMouseEvent* event) {
        const QPoint p = event->position().toPoint();
        const Qt::MouseButton button = event->button();
        runCommand([this, button, p] { Image1MouseDown(button, p.x(), p.y()); });
    });
    new EventHook(Memo1, QEvent::MouseMove, [this] { runCommand([this] { Memo1MouseMove(); }); });
    // Qt keeps what the picture showed, so the window's repaint of it is needed only when the
    // picture is shown anew or changes its size.
    for (const QEvent::Type type : {QEvent::Show, QEvent::Resize})
        new EventHook(Image1, type, [this] { runCommand([this] { FormPaint(); }); });
    // A replay keeps the window's messages flowing; closing the window ends it.
    new EventHook(this, QEvent::Close, [this] {
        if (animationBusy)
            replayCancelled_ = true;
    });

    wireCommand(Button8, &QPushButton::clicked, &TForm1::Button8Click);
    wireCommand(Button9, &QPushButton::clicked, &TForm1::Button9Click);
    wireCommand(Button10, &QPushButton::clicked, &TForm1::Button10Click);
}

void TForm1::ShowAirwayPicture(int n, int x, int y) {
    const AirwayPictureStep step = airwayPicture_.request(n);
    if (!step.message.empty()) {
        interaction_.showMessage(QString::fromStdString(step.message));
        return;
    }
    if (step.picture == 0)
        return;
    if (step.hint == HintChange::show) {
        Memo1->setText(QString::fromUtf8(step.hintText.data(), qsizetype(step.hintText.size())));
        const HintBox box = hintBoxAt(step.hintText, x, y, Memo1->height());
        Memo1->setGeometry(Image1->x() + box.left, Image1->y() + box.top, box.width,
                           Memo1->height());
        Memo1->show();
        Memo1->raise();
        // A running timer keeps its beat.
        if (!Timer1->isActive())
            Timer1->start();
    } else if (step.hint == HintChange::hide) {
        Memo1->hide();
    }

    if (Image1->canvas().size() != Image1->size())
        Image1->resizeCanvas(Image1->size());
    // Pictures 6..11 are empty and leave what is shown.
    const QImage& picture = pictureTable[static_cast<std::size_t>(step.picture)];
    if (!picture.isNull()) {
        QPainter painter(&Image1->canvas());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(Image1->canvas().rect(), picture);
    }
    Image1->update();
}

void TForm1::Image1MouseMove(int x, int y) {
    if (runInProgress || animationBusy)
        return;
    // While a group is selected the picture stays on that group's region.
    if (activeSection != 0) {
        hoveredRegion = kNoRegion;
        return;
    }
    hoveredRegion = data::hoveredRegion(tparm, x, y, Image1->width(), Image1->height());
    ShowAirwayPicture(regionCode(tparm, hoveredRegion), x, y);
}

// Acts on the region the last mouse move found.
void TForm1::Image1MouseDown(Qt::MouseButton button, int x, int y) {
    (void)x;
    (void)y;
    if (runInProgress || animationBusy)
        return;
    if (button == Qt::LeftButton || hoveredRegion == kNoRegion)
        if (const std::optional<int> section = leftClickSection(tparm, hoveredRegion))
            SelectSection(static_cast<unsigned char>(*section));
    if (button == Qt::RightButton)
        if (const auto helpFile = rightClickHelpFile(tparm, hoveredRegion))
            interaction_.showHelpFile(dataFilePath(std::string(*helpFile)));
}

void TForm1::FormPaint() {
    ShowAirwayPicture(-3, 0, 0);
}

// The hint box lies over the picture; it must not redraw the picture over a frame.
void TForm1::Memo1MouseMove() {
    if (runInProgress || animationBusy)
        return;
    ShowAirwayPicture(-3, 0, 0);
}

void TForm1::Timer1Timer() {
    Memo1->hide();
    if (activeSection == 0)
        ShowAirwayPicture(-2, 0, 0);
}

} // namespace vm::ui
