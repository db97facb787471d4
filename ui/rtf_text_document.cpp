#include "ui/rtf_text_document.h"

#include <QColor>
#include <QFont>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace vm::ui {
namespace {

Qt::Alignment qtAlignment(vm::data::Alignment alignment) {
    switch (alignment) {
    case vm::data::Alignment::Centre:
        return Qt::AlignHCenter;
    case vm::data::Alignment::Right:
        return Qt::AlignRight;
    case vm::data::Alignment::Justify:
        return Qt::AlignJustify;
    case vm::data::Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

QTextCharFormat qtCharFormat(const vm::data::CharacterFormat& format) {
    QTextCharFormat out;
    out.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    out.setFontItalic(format.italic);
    out.setFontUnderline(format.underline);
    out.setFontPointSize(format.pointSize);
    if (format.colour)
        out.setForeground(QColor(format.colour->red, format.colour->green, format.colour->blue));
    return out;
}

} // namespace

void fillTextDocument(const vm::data::RtfDocument& source, QTextDocument& target) {
    target.clear();
    QTextCursor cursor(&target);
    bool first = true;
    for (const vm::data::Paragraph& paragraph : source.paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(qtAlignment(paragraph.alignment));
        // The empty document already has its first block.
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        first = false;
        for (const vm::data::TextRun& run : paragraph.runs)
            cursor.insertText(
                QString::fromUtf8(run.text.data(), static_cast<qsizetype>(run.text.size())),
                qtCharFormat(run.format));
    }
}

} // namespace vm::ui
