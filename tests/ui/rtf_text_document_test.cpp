#include "ui/rtf_text_document.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>

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
