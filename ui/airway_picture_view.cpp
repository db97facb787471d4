#include "ui/airway_picture_view.h"

#include "data/jpeg_picture.h"
#include "data/parameter_table.h"
#include "data/startup_checks.h"
#include "plots/flow_volume_plot.h"
#include "plots/lung_frame.h"
#include "plots/plot_fonts.h"
#include "ui/image_view.h"
#include "ui/interaction.h"
#include "ui/picture_image.h"
#include "ui/widget_making.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <system_error>
#include <utility>

using namespace vm::data;
using namespace vm::plots;

namespace vm::ui {

namespace {
constexpr int kHintFontPixels = 16;
// A group's region name is hinted this far above the bottom of the airway picture.
constexpr int kHintAboveBottom = 60;
constexpr int kAirwayPictures = 5;
// The pause after each replay frame at speeds 1, 2 and 3.
constexpr int kReplayWait_ms[] = {200, 50, 0};

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

// Gives the controls back however the replay ends, a range error included.
class ReplayGuard {
  public:
    explicit ReplayGuard(std::function<void()> end) : end_(std::move(end)) {}
    ~ReplayGuard() { end_(); }
    ReplayGuard(const ReplayGuard&) = delete;
    ReplayGuard& operator=(const ReplayGuard&) = delete;

  private:
    std::function<void()> end_;
};
} // namespace

AirwayPictureView::AirwayPictureView(QWidget* client, const session::Session& session,
                                     Interaction& interaction, ImageView* flowVolumePlot,
                                     std::function<unsigned char()> activeSection,
                                     CommandRunner runCommand)
    : QObject(client), session_(session), interaction_(interaction),
      flowVolumePlot_(flowVolumePlot), activeSection_(std::move(activeSection)),
      runCommand_(std::move(runCommand)) {
    Image1 = named(new ImageView(client), "Image1");
    Button9 = makeButton(client, "Button9", QStringLiteral("pauza"));
    Button10 = makeButton(client, "Button10", QStringLiteral("3"));
    Button8 = makeButton(client, "Button8", QStringLiteral("animacja"));

    Memo1 = new QLabel(client);
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

    // Off until a hint is shown; START switches it on when it ends.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(2000);

    const auto command = [this](void (AirwayPictureView::*handler)()) {
        return [this, handler] { runCommand_([this, handler] { (this->*handler)(); }); };
    };
    connect(Timer1, &QTimer::timeout, this, command(&AirwayPictureView::Timer1Timer));
    Image1->setCursor(Qt::PointingHandCursor);
    connect(Image1, &ImageView::mouseMoved, this, [this](QMouseEvent* event) {
        const QPoint p = event->position().toPoint();
        runCommand_([this, p] { Image1MouseMove(p.x(), p.y()); });
    });
    connect(Image1, &ImageView::mousePressed, this, [this](QMouseEvent* event) {
        const QPoint p = event->position().toPoint();
        const Qt::MouseButton button = event->button();
        runCommand_([this, button, p] { Image1MouseDown(button, p.x(), p.y()); });
    });
    new EventHook(Memo1, QEvent::MouseMove, command(&AirwayPictureView::Memo1MouseMove));
    // Qt keeps what the picture showed, so the window's repaint of it is needed only when the
    // picture is shown anew or changes its size.
    for (const QEvent::Type type : {QEvent::Show, QEvent::Resize})
        new EventHook(Image1, type, command(&AirwayPictureView::FormPaint));
    // A replay keeps the window's messages flowing; closing the window ends it.
    new EventHook(client->window(), QEvent::Close, [this] {
        if (animationBusy_)
            replayCancelled_ = true;
    });
    connect(Button8, &QPushButton::clicked, this, command(&AirwayPictureView::Button8Click));
    connect(Button9, &QPushButton::clicked, this, command(&AirwayPictureView::Button9Click));
    connect(Button10, &QPushButton::clicked, this, command(&AirwayPictureView::Button10Click));
}

void AirwayPictureView::ShowAirwayPicture(int n, int x, int y) {
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

void AirwayPictureView::showGroupRegion(int airwayPicture) {
    ShowAirwayPicture(airwayPicture, Image1->x() + Image1->width() / 2,
                      Image1->y() + Image1->height() - kHintAboveBottom);
}

void AirwayPictureView::Image1MouseMove(int x, int y) {
    if (runInProgress_ || animationBusy_)
        return;
    // While a group is selected the picture stays on that group's region.
    if (activeSection_() != 0) {
        hoveredRegion = kNoRegion;
        return;
    }
    hoveredRegion = data::hoveredRegion(tparm, x, y, Image1->width(), Image1->height());
    ShowAirwayPicture(regionCode(tparm, hoveredRegion), x, y);
}

// Acts on the region the last mouse move found.
void AirwayPictureView::Image1MouseDown(Qt::MouseButton button, int, int) {
    if (runInProgress_ || animationBusy_)
        return;
    if (button == Qt::LeftButton || hoveredRegion == kNoRegion)
        if (const std::optional<int> section = leftClickSection(tparm, hoveredRegion))
            emit sectionPicked(static_cast<unsigned char>(*section));
    if (button == Qt::RightButton)
        if (const auto helpFile = rightClickHelpFile(tparm, hoveredRegion))
            interaction_.showHelpFile(session_.folder().dataPath(std::string(*helpFile)));
}

void AirwayPictureView::FormPaint() {
    ShowAirwayPicture(-3, 0, 0);
}

// The hint box lies over the picture; it must not redraw the picture over a frame.
void AirwayPictureView::Memo1MouseMove() {
    if (runInProgress_ || animationBusy_)
        return;
    ShowAirwayPicture(-3, 0, 0);
}

void AirwayPictureView::Timer1Timer() {
    Memo1->hide();
    if (activeSection_() == 0)
        ShowAirwayPicture(-2, 0, 0);
}

std::string AirwayPictureView::loadParameterTable(const std::filesystem::path& path) {
    const record::FileResult table = ReadParameterTable(path, tparm);
    return table.ok ? std::string() : table.message;
}

bool AirwayPictureView::loadPictures(const session::ProgramFolder& folder, bool writableFolderTold,
                                     std::string& scratchProblem) {
    for (QImage& picture : pictureTable)
        picture = QImage();
    const auto scratchFailure = [&](const std::string& message) {
        if (!writableFolderTold)
            interaction_.showMessage(QString::fromStdString(message));
        scratchProblem = message;
        return false;
    };
    // A scratch copy of its own: another copy starting at the same moment decodes through its own.
    std::filesystem::path temp;
    if (const record::FileResult made =
            createUniqueFile(folder.writablePath("datfiles1"), "temp", ".dat", temp);
        !made.ok)
        return scratchFailure(made.message);
    const auto dropTemp = [&temp] {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
    };
    // Every picture is drawn over Image1 (the background through pictureBuffer, of its size): none
    // is kept larger than that needs.
    const PictureSize shownAt{Image1->width(), Image1->height()};
    for (int k = 1; k <= kAirwayPictures; ++k) {
        const std::string source = "datfiles1/F00" + std::to_string(k) + ".dat";
        const PictureResult decoded = decodeReversedPicture(folder.dataPath(source), temp, shownAt);
        if (!decoded.ok) {
            dropTemp();
            if (decoded.scratchFailed)
                return scratchFailure(decoded.message);
            interaction_.showMessage(QString::fromStdString(decoded.message));
            return false;
        }
        pictureTable[static_cast<std::size_t>(k)] = pictureToImage(decoded.picture);
    }
    dropTemp();

    const PictureResult background = decodeJpegFile(folder.dataPath("datfiles1/tlo.dat"), shownAt);
    if (!background.ok) {
        interaction_.showMessage(QString::fromStdString(background.message));
        return false;
    }
    backgroundPicture = pictureToImage(background.picture);
    pictureBuffer = QImage(Image1->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    pictureBuffer.fill(Qt::white);
    return true;
}

// The plain airway picture, stretched over its control, until a region is picked.
void AirwayPictureView::showFirstPicture() {
    Image1->resizeCanvas(Image1->size());
    if (!pictureTable[1].isNull()) {
        QPainter painter(&Image1->canvas());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(Image1->canvas().rect(), pictureTable[1]);
    }
    Image1->update();
}

void AirwayPictureView::setRunInProgress(bool running) {
    runInProgress_ = running;
}

void AirwayPictureView::setHintTimerRunning(bool running) {
    if (running)
        Timer1->start();
    else
        Timer1->stop();
}

void AirwayPictureView::place(const MainWindowGeometry& g) {
    Image1->setGeometry(g.image1.left, g.image1.top, g.image1.width, g.image1.height);
    for (auto [button, box] : {std::pair{Button9, g.button9}, std::pair{Button10, g.button10},
                               std::pair{Button8, g.button8}})
        button->setGeometry(box.left, box.top, box.width, box.height);
}

void AirwayPictureView::fitCanvas() {
    Image1->resizeCanvas(Image1->size());
}

// The picture shown before (plain, or a selected group's region) is drawn again, through the
// same path as every other showing, so that the picture and what it is taken to show agree.
void AirwayPictureView::followNewSize() {
    if (!pictureBuffer.isNull())
        pictureBuffer = QImage(Image1->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    Image1->resizeCanvas(Image1->size());
    ShowAirwayPicture(-3, 0, 0);
}

void AirwayPictureView::DrawLungFrame(int row) {
    DrawLungFrame(row == 0 ? session_.liveLungFrame()
                           : lungFrameValuesAt(session_.record(), row, replaySample));
}

void AirwayPictureView::DrawLungFrame(const LungFrameValues& values) {
    if (pictureBuffer.isNull())
        return;
    // Frames are drawn at the picture's present size, so none is stretched on its way.
    if (pictureBuffer.size() != Image1->size() && !Image1->size().isEmpty())
        pictureBuffer = QImage(Image1->size(), QImage::Format_RGB32);
    // The background is stretched once; each frame only copies it.
    if (frameBackground_.size() != pictureBuffer.size() && !backgroundPicture.isNull())
        frameBackground_ = stretchedBackground(backgroundPicture, pictureBuffer.size());
    plots::DrawLungFrame(pictureBuffer, frameBackground_, values);
    showPictureBuffer();
}

// The whole frame at once.
void AirwayPictureView::showPictureBuffer() {
    if (Image1->canvas().size() != Image1->size())
        Image1->resizeCanvas(Image1->size());
    QImage& canvas = Image1->canvas();
    if (canvas.size() == pictureBuffer.size()) {
        // The next frame covers all of the buffer, so the two trade places instead of copying.
        canvas.swap(pictureBuffer);
    } else {
        QPainter painter(&canvas);
        painter.drawImage(canvas.rect(), pictureBuffer);
    }
    Image1->repaintNow();
}

void AirwayPictureView::Button8Click() {
    animationBusy_ = true;
    replayCancelled_ = false;
    emit replayLocking(true);
    Timer1->stop();
    ReplayGuard guard([this] {
        Timer1->start();
        animationBusy_ = false;
        emit replayLocking(false);
    });

    // Only the selected row's curve calls the hook, so one rule serves the whole replay.
    std::optional<ReplayFrameRule> rule;
    const ReplayHook hook = [this, &rule](int row, int sample, float volume_l, float vMax_l,
                                          float vPos_l) {
        if (replayCancelled_)
            return false;
        replaySample = sample;
        if (!rule)
            rule.emplace(vPos_l);
        return !rule->frameAt(volume_l, vMax_l, vPos_l) || showReplayFrame(row);
    };
    plots::DrawFlowVolumePlot(flowVolumePlot_->canvas(), session_.record(),
                              session_.state().selectedRow, &hook);
    flowVolumePlot_->update();
}

// One frame, with the curve drawn so far; then the window's messages, the speed's wait, and the
// pause. False when the window was closed meanwhile.
bool AirwayPictureView::showReplayFrame(int row) {
    DrawLungFrame(row);
    flowVolumePlot_->repaintNow();
    // The picture's timer would cover the animation.
    Timer1->stop();
    QCoreApplication::processEvents();
    waitForReplay();
    while (replayPaused && !replayCancelled_)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return !replayCancelled_;
}

// The wait lets the window's messages through, so that "pauza" acts within it.
void AirwayPictureView::waitForReplay() {
    const int wait_ms = kReplayWait_ms[std::clamp(replaySpeed, 1, 3) - 1];
    if (wait_ms == 0 || replayCancelled_)
        return;
    QEventLoop loop;
    QTimer::singleShot(wait_ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void AirwayPictureView::Button9Click() {
    replayPaused = !replayPaused;
    Button9->setText(replayPaused ? QStringLiteral("go") : QStringLiteral("pauza"));
}

void AirwayPictureView::Button10Click() {
    replaySpeed = replaySpeed >= 3 ? 1 : replaySpeed + 1;
    Button10->setText(QString::number(replaySpeed));
}

} // namespace vm::ui
