#include "session/result_reading.h"

#include <charconv>
#include <cmath>

namespace vm::session {

namespace {

// A plain decimal number, all of the text.
std::optional<double> numberOf(std::string_view text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string numberText(double v) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, v).ptr;
    return std::string(text, end);
}

} // namespace

std::optional<Patient> parsePatient(std::string_view text) {
    const std::size_t first = text.find(',');
    const std::size_t second = first == std::string_view::npos ? first : text.find(',', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    const std::string_view sex = text.substr(0, first);
    const auto age = numberOf(text.substr(first + 1, second - first - 1));
    const auto height = numberOf(text.substr(second + 1));
    if ((sex != "female" && sex != "male") || !age || !height)
        return std::nullopt;
    return Patient{sex == "male" ? Sex::male : Sex::female, *age, *height};
}

std::string patientOption(const Patient& patient) {
    return std::string(reference::sexName(patient.sex)) + ',' + numberText(patient.age_years) +
           ',' + numberText(patient.height_cm);
}

std::string patientProblem(const Patient& patient) {
    return reference::patientOutsideEquations(patient);
}

} // namespace vm::session
