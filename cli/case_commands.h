#pragma once
// The teaching cases on the command line: "cases" lists the library, "cases --make" runs one case
// into its simulation file (as the build does), "quiz" draws the unknown patient of a seed and
// prints its answer key, so that a teacher can give a class the same patient.

#include "session/case_library.h"
#include "session/json_writer.h"
#include "session/unknown_patient.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace vm::cli {

// Text as a JSON string, as the session writes one.
using session::jsonString;

bool isCaseCommand(const std::string& word);

// args without the program name, the command first; prints to out and returns the exit code.
int runCaseCommand(const std::vector<std::string>& args, const std::filesystem::path& exeDir,
                   std::ostream& out);

std::string caseCommandsUsage();

// One JSON line of a case: everything the library holds of it, its hidden settings and its file.
std::string caseJson(const session::TeachingCase& teachingCase, const std::string& file);

} // namespace vm::cli
