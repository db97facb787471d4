#include "ui/about_box.h"

#include "ui/version_label.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <cmath>
#include <functional>
#include <utility>

namespace vm::ui {

namespace {
constexpr int kWidth = 460;
constexpr int kHeight = 335;
constexpr double kDesignScreenWidth = 1024.0;
const QColor kSilver(192, 192, 192);

const QString kAuthors = QStringLiteral("Velta Morvane development team");
const QString kMaker =
    QStringLiteral("Written by the Velta Morvane development team as a teaching simulator of the "
                   "spirometric test.");
const QString kFunding =
    QStringLiteral("The program has no outside funding. Its lung model, the forced-expiration "
                   "run and the indices it computes are described in the program's own "
                   "documentation.");
const QString kCredit = QStringLiteral("Velta Morvane team");

// The panel reports every press with its button and modifiers; the window decides what they mean.
class PressPanel : public QFrame {
  public:
    PressPanel(QWidget* parent, std::function<void(QMouseEvent*)> pressed)
        : QFrame(parent), pressed_(std::move(pressed)) {}

  protected:
    void mousePressEvent(QMouseEvent* event) override { pressed_(event); }

  private:
    std::function<void(QMouseEvent*)> pressed_;
};

// Hidden until the credit gesture: the credit line in large type on lime.
class CreditPaintBox : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(30);
        painter.setFont(font);
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(QColor(0, 255, 0));
        painter.setPen(Qt::black);
        painter.drawText(QPoint(40, 50 + painter.fontMetrics().ascent()), kCredit);
    }
};

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* makeText(QWidget* parent, const char* name, const QString& text, const QRect& geometry,
                 bool bold = false, bool wrap = false) {
    auto* label = named(new QLabel(text, parent), name);
    label->setGeometry(geometry);
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (bold) {
        // Only the weight is the label's own; family and size follow the window's font.
        QFont font;
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}
} // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Autorzy"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kSilver);
    setPalette(palette);
    setAutoFillBackground(true);
    setFixedSize(kWidth, kHeight);

    Panel1 = named(new PressPanel(this,
                                  [this](QMouseEvent* event) {
                                      Panel1MouseDown(event->button(), event->modifiers());
                                  }),
                   "Panel1");
    Panel1->setGeometry(8, 8, 444, 271);
    // A lowered outer and a raised inner bevel, one pixel each: a sunken box of line width 1 draws
    // the shadow then the light on its top and left edges, the light then the shadow on the
    // others, whatever the style.
    Panel1->setFrameShape(QFrame::Box);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setLineWidth(1);
    Panel1->setMidLineWidth(0);

    ProgramIcon = named(new QLabel(Panel1), "ProgramIcon");
    ProgramIcon->setGeometry(8, 8, 63, 57);
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    ProgramIcon->setPixmap(icon.pixmap(63, 57));
    ProgramIcon->setScaledContents(true);

    ProductName = makeText(Panel1, "ProductName", QStringLiteral(" Velta.Morvane"),
                           QRect(88, 16, 340, 16), true);
    Version = makeText(Panel1, "Version", QString(), QRect(88, 40, 340, 16), true);
    AuthorsLabel = makeText(Panel1, "AuthorsLabel", QString(), QRect(8, 80, 428, 16));
    Comments = makeText(Panel1, "Comments", kMaker, QRect(8, 104, 428, 40), false, true);
    Label2 = makeText(Panel1, "Label2", kFunding, QRect(8, 152, 428, 72), false, true);
    Label1 = makeText(Panel1, "Label1", QString(), QRect(8, 232, 428, 16));

    OKButton = named(new QPushButton(QStringLiteral("OK"), this), "OKButton");
    OKButton->setGeometry(188, 292, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    PaintBox1 = named(new CreditPaintBox(this), "PaintBox1");
    PaintBox1->hide();

    FormCreate();
}

void TAboutBox::FormCreate() {
    const QScreen* screen = QApplication::primaryScreen();
    const double factor = screen != nullptr ? screen->geometry().width() / kDesignScreenWidth : 1.0;
    const auto scaled = [factor](int v) { return static_cast<int>(std::lround(v * factor)); };
    for (QWidget* child : findChildren<QWidget*>()) {
        const QRect g = child->geometry();
        child->setGeometry(scaled(g.x()), scaled(g.y()), scaled(g.width()), scaled(g.height()));
    }
    // The controls take their type sizes from the window's font.
    QFont scaledFont = font();
    if (scaledFont.pixelSize() > 0)
        scaledFont.setPixelSize(scaled(scaledFont.pixelSize()));
    else
        scaledFont.setPointSizeF(scaledFont.pointSizeF() * factor);
    setFont(scaledFont);
    setFixedSize(scaled(kWidth), scaled(kHeight));

    Version->setText(QStringLiteral("Version: ") + versionLabel());
    AuthorsLabel->setText(kAuthors);
}

void TAboutBox::Panel1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    if (button != Qt::RightButton || !(modifiers & Qt::ShiftModifier))
        return;
    PaintBox1->setGeometry(Panel1->geometry());
    Panel1->hide();
    PaintBox1->show();
    PaintBox1->raise();
}

void TAboutBox::FormHide() {
    PaintBox1->hide();
    Panel1->show();
}

void TAboutBox::showEvent(QShowEvent* event) {
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TAboutBox::hideEvent(QHideEvent* event) {
    FormHide();
    QDialog::hideEvent(event);
}

} // namespace vm::ui
