// The strict RTF reader on any bytes: a document or an error naming where the fault lies.

#include "data/rtf_document.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace vm::data;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const RtfReadResult result =
        readRtf(std::string_view(reinterpret_cast<const char*>(data), size));
    if (result.document.has_value() == !result.error.empty())
        __builtin_trap();
    if (result.document)
        for (const Paragraph& paragraph : result.document->paragraphs)
            for (const TextRun& run : paragraph.runs)
                if (run.text.find_first_of("\r\n") != std::string::npos)
                    __builtin_trap();
    return 0;
}
