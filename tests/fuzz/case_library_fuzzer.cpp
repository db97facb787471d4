// The case library read from its text, then every case drawn as the unknown patient and listed
// as the runner's cases --json lists it: a text is either a library whose every case has what the
// window shows and is one whole JSON line, or refused with a reason.

#include "cli/case_commands.h"
#include "cli/json_value.h"
#include "session/case_library.h"
#include "session/unknown_patient.h"

#include <cstddef>
#include <cstdint>
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
    for (const TeachingCase& c : library.cases) {
        if (c.runs.empty() || c.questions.size() < kFewestQuestions || c.story.empty())
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
