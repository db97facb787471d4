#pragma once
// The age-dependent spline terms of the GLI Global 2022 equations, read from the table that ships
// beside the program ("datfiles1/gli-global-2022-splines.csv"): for each sex and index, Mspline
// and Sspline at every quarter year from 3 to 95 years.

#include "record/file_layer.h"
#include "reference/patient.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace vm::reference {

inline constexpr std::string_view kGliSplineFile = "datfiles1/gli-global-2022-splines.csv";

inline constexpr double kFirstTabulatedAge_years = 3.0;
inline constexpr double kLastTabulatedAge_years = 95.0;
inline constexpr double kAgeStep_years = 0.25;
inline constexpr int kTabulatedAges = 369; // 3, 3.25, ..., 95

// The shipped table is about 120 kB; anything far larger is not this table.
inline constexpr std::uintmax_t kGliSplineFileMaxBytes = 1u << 20;

// No spline term of these equations comes near this; a larger one would be a damaged table.
inline constexpr double kLargestSplineTerm = 2.0;

struct SplineTerms {
    double m = 0.0; // Mspline, added to ln M
    double s = 0.0; // Sspline, added to ln S
};

class GliSplineTable {
  public:
    // The terms at an age in 3..95 years, linear between the two tabulated ages that enclose it.
    // The caller has checked the age.
    SplineTerms at(Sex sex, ReferenceIndex index, double age_years) const;

  private:
    friend record::FileResult parseGliSplineTable(std::string_view text, GliSplineTable& table);
    using Column = std::array<SplineTerms, kTabulatedAges>;
    std::array<std::array<Column, kReferenceIndexCount>, 2> terms_{};
};

// Parses the table's text: the header "sex,index,age,m_spline,s_spline", then one line per sex,
// index and age with exactly five fields, every age of every sex and index present once and in
// order. LF or CRLF line ends. Anything else is refused with the line and what is wrong; the
// table changes only on success.
record::FileResult parseGliSplineTable(std::string_view text, GliSplineTable& table);

// Reads and parses the file; a missing, unreadable or oversized file gets the file layer's
// message, a malformed one the parser's with the path before it.
record::FileResult loadGliSplineTable(const std::filesystem::path& path, GliSplineTable& table);

} // namespace vm::reference
