// The strict RTF reader on any bytes: a document or an error naming where the fault lies.

#include "data/rtf_document.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace vm::data;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const RtfReadResult result =
        readRtf(std::string_view(reinterpret_cast<const char*>(data), size));
    if (result.document.has_value() == !result.error.empty())
        __builtin_trap();
    if (!result.document)
        return 0;
    std::size_t paragraphs = 0;
    forEachParagraph(*result.document, [&paragraphs](const Paragraph& paragraph) {
        ++paragraphs;
        for (const TextRun& run : paragraph.runs)
            if (run.text.find_first_of("\r\n") != std::string::npos)
                __builtin_trap();
    });
    if (paragraphs > kMaxRtfParagraphs)
        __builtin_trap();
    // Tables as the viewer lays them out: no empty row or cell, no row wider than the limit.
    for (const Block& block : result.document->blocks)
        if (const auto* table = std::get_if<Table>(&block))
            for (const TableRow& row : table->rows)
                if (row.cells.empty() || row.cells.size() > kMaxRtfRowCells ||
                    std::ranges::any_of(
                        row.cells, [](const TableCell& cell) { return cell.paragraphs.empty(); }))
                    __builtin_trap();
    return 0;
}
