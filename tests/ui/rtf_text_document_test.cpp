#include "ui/help_window.h"
#include "ui/rtf_text_document.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <gtest/gtest.h>

namespace {

QTextCharFormat firstFormat(const QTextBlock& block) {
    return block.begin().fragment().charFormat();
}

TEST(RtfTextDocument, CarriesParagraphsAndFormats) {
    const auto read =
        vm::data::readRtf(R"({\rtf1\ansicpg1250{\colortbl;\red0\green0\blue255;})"
                          R"(\qc\b\cf1\fs28 Tytu\'b3\par\pard\plain\i a\line b\tab c})");
    ASSERT_TRUE(read.document) << read.error;
    QTextDocument document;
    document.setPlainText("old\ntext\nhere");
    vm::ui::fillTextDocument(*read.document, document);

    ASSERT_EQ(document.blockCount(), 2);
    const QTextBlock title = document.firstBlock();
    EXPECT_EQ(title.text(), QString::fromUtf8("Tytuł"));
    EXPECT_EQ(title.blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(firstFormat(title).fontWeight(), QFont::Bold);
    EXPECT_EQ(firstFormat(title).fontPointSize(), 14.0);
    EXPECT_EQ(firstFormat(title).foreground().color(), QColor(0, 0, 255));

    const QTextBlock body = title.next();
    EXPECT_EQ(body.text(), QString::fromUtf8("a\u2028b\tc"));
    EXPECT_EQ(body.blockFormat().alignment(), Qt::AlignLeft);
    EXPECT_TRUE(firstFormat(body).fontItalic());
    EXPECT_EQ(firstFormat(body).fontWeight(), QFont::Normal);
    EXPECT_FALSE(firstFormat(body).hasProperty(QTextFormat::ForegroundBrush));
}

} // namespace

namespace {

// The document's top level in order: each block's text, and each table as "table RxC".
QStringList topLevel(const QTextDocument& document) {
    QStringList out;
    for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (const auto* table = qobject_cast<QTextTable*>(it.currentFrame()))
            out << QStringLiteral("table %1x%2").arg(table->rows()).arg(table->columns());
        else if (it.currentBlock().isValid())
            out << it.currentBlock().text();
    }
    return out;
}

const QTextTable* firstTable(const QTextDocument& document) {
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if (const auto* table = qobject_cast<QTextTable*>(frame))
            return table;
    return nullptr;
}

QTextBlock blockStartingWith(const QTextDocument& document, const QString& text) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.text().startsWith(text))
            return block;
    return {};
}

double pixelsPerTwip() {
    return QGuiApplication::primaryScreen()->logicalDotsPerInchY() / 1440.0;
}

} // namespace

// A table of ruled cells between the paragraphs around it, no empty block added on either side;
// its columns share its width as the row's edges say (1440 and 2880 twips), and it is as wide
// against the page's 8640 twips; a row of fewer cells has its last cell span the rest.
TEST(RtfTextDocument, TablesKeepTheirRowsColumnsAndWidths) {
    const struct {
        const char* rtf;
        QStringList topLevel;
    } cases[] = {
        {R"({\rtf1 before\par\trowd\cellx1440\cellx4320\intbl a\cell b\cell\row)"
         R"(\trowd\cellx4320\intbl wide\cell\row\pard after})",
         {"before", "table 2x2", "after"}},
        {R"({\rtf1\trowd\cellx1440\cellx4320\intbl a\cell b\cell\row\trowd\cellx4320\intbl wide\cell\row})",
         {"", "table 2x2", ""}}, // Qt keeps a block before and after every table
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rtf);
        const auto read = vm::data::readRtf(c.rtf);
        ASSERT_TRUE(read.document) << read.error;
        QTextDocument document;
        vm::ui::fillTextDocument(*read.document, document);
        EXPECT_EQ(topLevel(document), c.topLevel);
        const QTextTable* table = firstTable(document);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->cellAt(0, 1).firstCursorPosition().block().text(), QStringLiteral("b"));
        EXPECT_EQ(table->cellAt(1, 0).columnSpan(), 2);
        const QTextTableFormat format = table->format();
        EXPECT_GT(format.border(), 0.0);
        EXPECT_EQ(format.width(), QTextLength(QTextLength::PercentageLength, 50.0));
        ASSERT_EQ(format.columnWidthConstraints().size(), 2);
        EXPECT_NEAR(format.columnWidthConstraints()[0].rawValue(), 100.0 / 3, 1e-9);
        EXPECT_NEAR(format.columnWidthConstraints()[1].rawValue(), 200.0 / 3, 1e-9);
    }
}

// One help text saved by two word processors (tests/data/rtf/README.md), opened in the help
// window: its table is a table, and its paragraphs keep their spacing and indents.
TEST(RtfTextDocument, WordProcessorsFilesShowTheirTablesSpacingAndIndents) {
    const struct {
        const char* file;
        int bodySpaceAfter_twips, quoteIndent_twips, listIndent_twips, listFirstLine_twips;
    } fixtures[] = {
        {"help_table_pandoc.rtf", 180, 720, 360, -360},
        {"help_table_writer.rtf", 86, 720, 720, -360},
    };
    for (const auto& f : fixtures) {
        SCOPED_TRACE(f.file);
        vm::ui::TForm4 window;
        ASSERT_FALSE(window.loadHelpFile(std::string(VM_RTF_FIXTURES "/") + f.file).has_value());
        const QTextDocument& document = *window.RichEdit1->document();
        const QStringList shown = topLevel(document);
        const qsizetype table = shown.indexOf(QStringLiteral("table 3x3"));
        ASSERT_GT(table, 0) << shown.join('|').toStdString();
        EXPECT_TRUE(shown[table - 1].endsWith(QStringLiteral("drugi punkt listy")))
            << shown[table - 1].toStdString();
        EXPECT_EQ(shown.last(), QStringLiteral("Ostatni akapit po tabeli."));

        const QTextTable* cells = firstTable(document);
        ASSERT_NE(cells, nullptr);
        EXPECT_EQ(cells->cellAt(0, 0).firstCursorPosition().block().text(),
                  QString::fromUtf8("Wskaźnik"));
        const QTextBlock last = cells->cellAt(2, 2).firstCursorPosition().block();
        EXPECT_EQ(last.text(), QStringLiteral("8,5"));
        EXPECT_EQ(last.begin().fragment().charFormat().fontWeight(), QFont::Bold);

        const double scale = pixelsPerTwip();
        const QTextBlockFormat body =
            blockStartingWith(document, QString::fromUtf8("Zwykły akapit")).blockFormat();
        EXPECT_NEAR(body.bottomMargin(), f.bodySpaceAfter_twips * scale, 1e-9);
        const QTextBlockFormat quote =
            blockStartingWith(document, QString::fromUtf8("Akapit wcięty")).blockFormat();
        EXPECT_NEAR(quote.leftMargin(), f.quoteIndent_twips * scale, 1e-9);
        const QTextBlock item = blockStartingWith(document, QString::fromUtf8("•"));
        ASSERT_TRUE(item.isValid());
        EXPECT_NEAR(item.blockFormat().leftMargin(), f.listIndent_twips * scale, 1e-9);
        EXPECT_NEAR(item.blockFormat().textIndent(), f.listFirstLine_twips * scale, 1e-9);
        // The bullet hangs out to the first line's indent; the tab after it reaches the left
        // indent, where the lines below begin.
        window.show(); // lays the text out
        const QTextLine line = item.layout()->lineAt(0);
        ASSERT_TRUE(line.isValid());
        EXPECT_NEAR(line.cursorToX(0), (f.listIndent_twips + f.listFirstLine_twips) * scale, 1.0);
        EXPECT_NEAR(line.cursorToX(static_cast<int>(item.text().indexOf('\t')) + 1),
                    f.listIndent_twips * scale, 1.0);
    }
}
