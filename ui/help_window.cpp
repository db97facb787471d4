#include "ui/help_window.h"

#include "data/rtf_document.h"
#include "ui/rtf_text_document.h"

#include <QTextEdit>
#include <QToolTip>
#include <QVBoxLayout>

#include <cstdint>
#include <vector>

namespace vm::ui {

namespace {
constexpr int kWidth = 654;
constexpr int kHeight = 518;
constexpr int kFontPixels = 13;
// The help texts are tens of kilobytes; anything far larger is not one of them.
constexpr std::uintmax_t kMaxHelpFileBytes = 16u * 1024u * 1024u;
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

std::optional<QString> TForm4::loadHelpFile(const std::filesystem::path& path) {
    RichEdit1->clear();
    // The file layer's reason goes on a second line, as with the other messages about files.
    const data::RtfFileResult read = data::readRtfFile(path, kMaxHelpFileBytes);
    if (!read.fileError.empty())
        return QStringLiteral("Cannot open file %1\n%2")
            .arg(QString::fromStdString(path.string()), QString::fromStdString(read.fileError));
    if (!read.document)
        return QStringLiteral("Cannot read help file %1: %2")
            .arg(QString::fromStdString(path.string()), QString::fromStdString(read.error));
    fillTextDocument(*read.document, *RichEdit1->document());
    RichEdit1->moveCursor(QTextCursor::Start);
    return std::nullopt;
}

void ShowHelpFile(TForm4& window, const std::filesystem::path& path,
                  const std::function<void(const QString&)>& report) {
    if (const std::optional<QString> problem = window.loadHelpFile(path)) {
        report(*problem);
        return;
    }
    window.exec();
}

} // namespace vm::ui
