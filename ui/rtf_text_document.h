#pragma once
// The help window's rich text: a read RTF document laid into a QTextDocument.

#include "data/rtf_document.h"

class QTextDocument;

namespace vm::ui {

// Replaces the contents of `target` with the paragraphs of `source`: one block per paragraph with
// its alignment, one fragment per run with its weight, slant, underline, point size and colour (a
// run without a colour keeps the viewer's text colour). Line breaks stay U+2028, which Qt shows as
// a break inside the block, and tabs stay tabs.
void fillTextDocument(const vm::data::RtfDocument& source, QTextDocument& target);

} // namespace vm::ui
