#include "ui/rtf_text_document.h"

#include <QAbstractTextDocumentLayout>
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QScreen>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QTextTableFormat>

#include <algorithm>

namespace vm::ui {
namespace {

using namespace vm::data;

constexpr double kTwipsPerInch = 1440.0;
// Enough to keep a cell's text off its border; no writer's padding is read.
constexpr double kCellPaddingPixels = 3.0;

Qt::Alignment qtAlignment(Alignment alignment) {
    switch (alignment) {
    case Alignment::Centre:
        return Qt::AlignHCenter;
    case Alignment::Right:
        return Qt::AlignRight;
    case Alignment::Justify:
        return Qt::AlignJustify;
    case Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

QTextCharFormat qtCharFormat(const CharacterFormat& format) {
    QTextCharFormat out;
    out.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    out.setFontItalic(format.italic);
    out.setFontUnderline(format.underline);
    out.setFontPointSize(format.pointSize);
    if (format.colour)
        out.setForeground(QColor(format.colour->red, format.colour->green, format.colour->blue));
    return out;
}

// Lengths in twips become pixels at the resolution the document's point sizes are laid out at:
// its paint device's, else the screen's.
double pixelsPerTwip(const QTextDocument& document) {
    double dotsPerInch = 96.0;
    if (const QPaintDevice* device = document.documentLayout()->paintDevice())
        dotsPerInch = device->logicalDpiY();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        dotsPerInch = screen->logicalDotsPerInchY();
    return dotsPerInch / kTwipsPerInch;
}

QTextBlockFormat qtBlockFormat(const Paragraph& paragraph, double scale) {
    QTextBlockFormat block;
    block.setAlignment(qtAlignment(paragraph.alignment));
    block.setTopMargin(paragraph.spaceBefore_twips * scale);
    block.setBottomMargin(paragraph.spaceAfter_twips * scale);
    block.setLeftMargin(paragraph.leftIndent_twips * scale);
    block.setRightMargin(paragraph.rightIndent_twips * scale);
    block.setTextIndent(paragraph.firstLineIndent_twips * scale);
    // A hanging first line tabs to the left indent, as in the word processors that wrote it: a
    // list's text after its bullet lines up with the lines below. Qt counts a tab stop from
    // where the first line begins.
    if (paragraph.firstLineIndent_twips < 0)
        block.setTabPositions(
            {QTextOption::Tab(-paragraph.firstLineIndent_twips * scale, QTextOption::LeftTab)});
    return block;
}

// Writes the paragraph into the cursor's block, which is empty, or into a new one after it.
void writeParagraph(QTextCursor& cursor, const Paragraph& paragraph, double scale, bool newBlock) {
    if (newBlock)
        cursor.insertBlock(qtBlockFormat(paragraph, scale));
    else
        cursor.setBlockFormat(qtBlockFormat(paragraph, scale));
    for (const TextRun& run : paragraph.runs)
        cursor.insertText(
            QString::fromUtf8(run.text.data(), static_cast<qsizetype>(run.text.size())),
            qtCharFormat(run.format));
}

// The table's width in percent of the page's text width and its columns' shares of it, from the
// definition of the first of its widest rows. A definition that does not match the cells it
// fills, or whose edges do not run left to right, leaves the columns to Qt.
QTextTableFormat qtTableFormat(const Table& table, int columns, int textWidth_twips) {
    QTextTableFormat format;
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(kCellPaddingPixels);
    const auto widest = std::ranges::find_if(
        table.rows, [columns](const TableRow& row) { return std::ssize(row.cells) == columns; });
    const std::vector<int>& edges = widest->cellRightEdges_twips;
    if (std::ssize(edges) != columns)
        return format;
    QList<int> widths;
    int left = widest->left_twips;
    for (const int right : edges) {
        if (right <= left)
            return format;
        widths.push_back(right - left);
        left = right;
    }
    const double span = left - widest->left_twips;
    QList<QTextLength> constraints;
    for (const int width : widths)
        constraints.push_back(QTextLength(QTextLength::PercentageLength, 100.0 * width / span));
    format.setColumnWidthConstraints(constraints);
    format.setWidth(QTextLength(QTextLength::PercentageLength,
                                std::min(100.0, 100.0 * span / std::max(textWidth_twips, 1))));
    return format;
}

// A row with fewer cells than the widest one has its last cell run to the table's right edge.
void writeTable(QTextCursor& cursor, const Table& table, int textWidth_twips, double scale) {
    int columns = 0;
    for (const TableRow& row : table.rows)
        columns = std::max(columns, static_cast<int>(row.cells.size()));
    QTextTable* qtTable = cursor.insertTable(static_cast<int>(table.rows.size()), columns,
                                             qtTableFormat(table, columns, textWidth_twips));
    for (int r = 0; r < std::ssize(table.rows); ++r) {
        const std::vector<TableCell>& cells = table.rows[static_cast<std::size_t>(r)].cells;
        for (int c = 0; c < std::ssize(cells); ++c) {
            QTextCursor inCell = qtTable->cellAt(r, c).firstCursorPosition();
            bool newBlock = false;
            for (const Paragraph& paragraph : cells[static_cast<std::size_t>(c)].paragraphs) {
                writeParagraph(inCell, paragraph, scale, newBlock);
                newBlock = true;
            }
        }
        const int filled = static_cast<int>(cells.size());
        if (filled < columns)
            qtTable->mergeCells(r, filled - 1, 1, columns - filled + 1);
    }
}

} // namespace

void fillTextDocument(const RtfDocument& source, QTextDocument& target) {
    target.clear();
    const double scale = pixelsPerTwip(target);
    QTextCursor cursor(&target);
    // Whether the cursor's block is still empty and free for the next paragraph: the empty
    // document has one, and Qt keeps one after every table. A table goes in at the cursor: after
    // a paragraph Qt places it below that paragraph's block; before it, a document or a table
    // keeps an empty block, as Qt wants a block before every table.
    bool freeBlock = true;
    for (const Block& block : source.blocks) {
        if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
            writeParagraph(cursor, *paragraph, scale, !freeBlock);
            freeBlock = false;
        } else {
            writeTable(cursor, std::get<Table>(block), source.textWidth_twips, scale);
            cursor.movePosition(QTextCursor::End);
            freeBlock = true;
        }
    }
}

} // namespace vm::ui
