#include "ui/help_window.h"
#include "ui/rtf_text_document.h"

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

// The document's top level in order: each block's text, and each table as "table RxC".
QStringList topLevel(const QTextDocument& document, const QTextTable** table) {
    QStringList out;
    for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (const auto* found = qobject_cast<QTextTable*>(it.currentFrame())) {
            *table = found;
            out << QStringLiteral("table %1x%2").arg(found->rows()).arg(found->columns());
        } else {
            out << it.currentBlock().text();
        }
    }
    return out;
}

// A table between the paragraphs around it, no empty block added; its columns share its width as
// the row's edges say (1440 and 2880 twips), it is as wide against the page's 8640 twips, and a
// row of fewer cells has its last cell span the rest.
TEST(RtfTextDocument, TableKeepsItsRowsColumnsAndWidths) {
    const auto read =
        vm::data::readRtf(R"({\rtf1 before\par\trowd\cellx1440\cellx4320\intbl a\cell b\cell\row)"
                          R"(\trowd\cellx4320\intbl wide\cell\row\pard after})");
    ASSERT_TRUE(read.document) << read.error;
    QTextDocument document;
    vm::ui::fillTextDocument(*read.document, document);
    const QTextTable* table = nullptr;
    EXPECT_EQ(topLevel(document, &table), QStringList({"before", "table 2x2", "after"}));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->cellAt(0, 1).firstCursorPosition().block().text(), QStringLiteral("b"));
    EXPECT_EQ(table->cellAt(1, 0).columnSpan(), 2);
    const QTextTableFormat format = table->format();
    EXPECT_GT(format.border(), 0.0);
    EXPECT_EQ(format.width(), QTextLength(QTextLength::PercentageLength, 50.0));
    ASSERT_EQ(format.columnWidthConstraints().size(), 2);
    EXPECT_NEAR(format.columnWidthConstraints()[0].rawValue(), 100.0 / 3, 1e-9);
}

// One help text saved by two word processors (tests/data/rtf/README.md), in the help window: a
// table of three rows between the list and the last paragraph; an indent of 720 twips half an
// inch on the screen; a list item's bullet hanging at its first line's indent and the tab after
// it reaching the left indent, where the lines below begin.
TEST(RtfTextDocument, WordProcessorsFilesShowTheirTablesAndIndents) {
    const double pixelsPerTwip = QGuiApplication::primaryScreen()->logicalDotsPerInchY() / 1440.0;
    for (const auto& [file, listIndent_twips] :
         {std::pair{"help_table_pandoc.rtf", 360}, std::pair{"help_table_writer.rtf", 720}}) {
        SCOPED_TRACE(file);
        vm::ui::TForm4 window;
        ASSERT_FALSE(window.loadHelpFile(std::string(VM_RTF_FIXTURES "/") + file).has_value());
        window.show(); // lays the text out
        const QTextDocument& document = *window.RichEdit1->document();
        const QTextTable* table = nullptr;
        const QStringList shown = topLevel(document, &table);
        const qsizetype at = shown.indexOf(QStringLiteral("table 3x3"));
        ASSERT_GT(at, 0) << shown.join('|').toStdString();
        EXPECT_TRUE(shown[at - 1].endsWith(QStringLiteral("drugi punkt listy")));
        EXPECT_EQ(shown.last(), QStringLiteral("Ostatni akapit po tabeli."));
        EXPECT_EQ(table->cellAt(2, 2).firstCursorPosition().charFormat().fontWeight(), QFont::Bold);

        QTextBlock quote = document.begin();
        while (quote.isValid() && !quote.text().startsWith(QStringLiteral("Akapit")))
            quote = quote.next();
        EXPECT_NEAR(quote.blockFormat().leftMargin(), 720 * pixelsPerTwip, 1e-9);
        const QTextBlock item = quote.next();
        const QTextLine line = item.layout()->lineAt(0);
        ASSERT_TRUE(line.isValid());
        EXPECT_NEAR(line.cursorToX(0), (listIndent_twips - 360) * pixelsPerTwip, 1.0);
        EXPECT_NEAR(line.cursorToX(static_cast<int>(item.text().indexOf('\t')) + 1),
                    listIndent_twips * pixelsPerTwip, 1.0);
    }
}

} // namespace
