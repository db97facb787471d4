#pragma once
// The help window's rich text: a read RTF document laid into a QTextDocument.

#include "data/rtf_document.h"

class QTextDocument;

namespace vm::ui {

// Replaces the contents of `target` with the paragraphs and tables of `source`: one block per
// paragraph with its alignment, spacing and indents (twips as pixels at the document's
// resolution), one fragment per run with its weight, slant, underline, point size and colour (a
// run without a colour keeps the viewer's text colour); one table per table, with ruled cells,
// its columns' shares and its width in proportion to the page's. Line breaks stay U+2028, which Qt
// shows as a break inside the block, and tabs stay tabs.
void fillTextDocument(const vm::data::RtfDocument& source, QTextDocument& target);

} // namespace vm::ui
