#pragma once
// The person a result is read for, and the indices the reference equations predict.

#include <string_view>

namespace vm::reference {

enum class Sex { male, female };

// What the equations need of the person. The defaults are the patient the program offers before
// the user enters one.
struct Patient {
    Sex sex = Sex::female;
    double age_years = 40.0;
    double height_cm = 165.0;
};

// FEV1 and FVC in litres; the FEV1/FVC ratio as a fraction (0.80, not 80 %).
enum class ReferenceIndex { fev1, fvc, fev1Fvc };
inline constexpr int kReferenceIndexCount = 3;

// The names the reference table uses.
constexpr std::string_view sexName(Sex sex) {
    return sex == Sex::male ? "male" : "female";
}
constexpr std::string_view indexName(ReferenceIndex index) {
    switch (index) {
    case ReferenceIndex::fev1:
        return "FEV1";
    case ReferenceIndex::fvc:
        return "FVC";
    case ReferenceIndex::fev1Fvc:
        return "FEV1FVC";
    }
    return "";
}

} // namespace vm::reference
