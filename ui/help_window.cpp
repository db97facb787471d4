#include "ui/help_window.h"

#include "data/rtf_document.h"
#include "ui/rtf_text_document.h"

#include <QFile>
#include <QTextEdit>
#include <QToolTip>
#include <QVBoxLayout>

namespace vm::ui {

namespace {
constexpr int kWidth = 654;
constexpr int kHeight = 518;
constexpr int kFontPixels = 13;
} // namespace

TForm4::TForm4(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Spirometry help"));
    resize(kWidth, kHeight);

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = RichEdit1->palette();
    palette.setColor(QPalette::Base, QToolTip::palette().color(QPalette::ToolTipBase));
    palette.setColor(QPalette::Text, QToolTip::palette().color(QPalette::ToolTipText));
    RichEdit1->setPalette(palette);
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kFontPixels);
    RichEdit1->setFont(font);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichEdit1);
}

std::optional<QString> TForm4::loadHelpFile(const QString& path) {
    RichEdit1->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot open file %1").arg(path);
    const QByteArray bytes = file.readAll();
    const data::RtfReadResult read = data::readRtf(std::string_view(bytes.data(), bytes.size()));
    if (!read.document)
        return QStringLiteral("Cannot read help file %1: %2")
            .arg(path, QString::fromStdString(read.error));
    fillTextDocument(*read.document, *RichEdit1->document());
    RichEdit1->moveCursor(QTextCursor::Start);
    return std::nullopt;
}

void ShowHelpFile(TForm4& window, const QString& path,
                  const std::function<void(const QString&)>& report) {
    if (const std::optional<QString> problem = window.loadHelpFile(path)) {
        report(*problem);
        return;
    }
    window.exec();
}

} // namespace vm::ui
