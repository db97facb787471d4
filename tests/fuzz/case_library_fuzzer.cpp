// The case library read from its text, then every case drawn as the unknown patient and listed
// as the runner's cases --json lists it: a text is either a library whose every case has what the
// window shows, its figures taken out of the texts, and is one whole JSON line, or refused with a
// reason.

#include "cli/case_commands.h"
#include "cli/json_value.h"
#include "session/case_library.h"
#include "session/unknown_patient.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace vm::session;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CaseLibrary library;
    const auto read =
        parseCaseLibrary(std::string_view(reinterpret_cast<const char*>(data), size), library);
    if (!read.ok) {
        if (read.message.empty())
            __builtin_trap();
        return 0;
    }
    // Every text shown as plain text, every figure naming a row its case holds.
    const auto marked = [](const std::string& t) { return t.find_first_of("{}") != t.npos; };
    for (const TeachingCase& c : library.cases) {
        if (c.runs.empty() || c.questions.size() < kFewestQuestions || c.story.empty() ||
            marked(c.story) || marked(c.explanation) || marked(c.title))
            __builtin_trap();
        for (const CaseQuestion& q : c.questions)
            if (marked(q.question) || marked(q.answer))
                __builtin_trap();
        for (const CaseFigure& f : c.figures)
            if (std::max(f.row, f.fromRow) > static_cast<int>(c.runs.size()) || f.shown.empty())
                __builtin_trap();
        // A file name need not be UTF-8 text; the line stays JSON all the same.
        const std::string line = vm::cli::caseJson(c, "simulations/\xff" + c.id + ".spi");
        if (line.back() != '\n' || !vm::cli::parseJson(line))
            __builtin_trap();
    }
    for (std::uint32_t seed = 0; seed < 4; ++seed)
        if (const auto draw = drawUnknownPatient(library, seed))
            for (const CaseSetting& s : draw->settings)
                if (!(s.percent >= 10.0 && s.percent <= 2000.0))
                    __builtin_trap();
    return 0;
}
