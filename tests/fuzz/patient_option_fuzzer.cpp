// --patient SEX,AGE,HEIGHT as the runner reads it: a text is either a patient the reference
// equations take, which the runner writes back as the same text's patient, or refused with a
// reason.

#include "cli/cli_options.h"
#include "session/result_reading.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

using namespace vm;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const cli::CliParseResult parsed = cli::parseCommandLine({"run", "--patient", text});
    if (!parsed.ok) {
        if (parsed.message.empty() || parsed.options.run.patient)
            __builtin_trap();
        return 0;
    }
    if (!parsed.options.run.patient)
        __builtin_trap();
    const session::Patient& patient = *parsed.options.run.patient;
    if (!(patient.age_years >= 3.0 && patient.age_years <= 95.0 && patient.height_cm >= 100.0 &&
          patient.height_cm <= 250.0) ||
        !session::patientProblem(patient).empty())
        __builtin_trap();
    const auto again = session::parsePatient(session::patientOption(patient));
    if (!again || again->sex != patient.sex || again->age_years != patient.age_years ||
        again->height_cm != patient.height_cm)
        __builtin_trap();
    return 0;
}
