#pragma once
// The model's figures quoted by the case texts, held to the record they quote: each figure read
// from a record opened in a session, through the one reading of a result, and written as the
// texts write numbers, so that a changed model or reading shows as a figure that no longer
// matches its text.

#include "session/case_library.h"
#include "session/session.h"

#include <string>
#include <vector>

namespace vm::session {

// A figure's value in the session's record, or why it has none (no valid result, an index its
// curves cannot give, a reading that cannot be made).
struct FigureValue {
    double value = 0.0;
    std::string problem;
    bool ok() const { return problem.empty(); }
};

FigureValue figureValue(const Session& session, const CaseFigure& figure);

// A value as the case texts write it: `decimals` digits after a decimal comma, the minus sign
// "−", and "+" before a positive number when plusSign. A value that rounds to zero has no sign.
std::string figureText(double value, int decimals, bool plusSign);

// Every figure of the list whose shown text is not what the session's record gives, each as
// "line 57: {3.fev1PctFvc.z|−1,95} gives −1,97" (or why it gives nothing).
std::vector<std::string> mismatchedFigures(const Session& session,
                                           const std::vector<CaseFigure>& figures);

// A number the texts may write as plain text, with what is written after it ("" for no unit):
// a threshold of the standards, a point of the FVC the flows are read at, the year that names a
// source, a quantity of the test itself.
struct FixedNumber {
    std::string_view number;
    std::string_view follows;
};
inline constexpr FixedNumber kFixedNumbers[] = {
    {"−1,645", ""},  {"−1,65", ""}, {"−2,5", ""},     {"−4", ""},      {"0,70", ""},
    {"10", ""},      {"10", "%"},   {"12", "%"},      {"5", "%"},      {"80", "%"},
    {"200", "ml"},   {"25", "ml"},  {"0,150", "l"},   {"0,100", "l"},  {"15", "s"},
    {"6", "s"},      {"400", "µg"}, {"0,025", "l/s"}, {"75", "% FVC"}, {"50", "% FVC"},
    {"25", "% FVC"}, {"1972", ""},  {"2005", ""},     {"2019", ""},    {"2022", ""},
};

// Whether a plain number of a question, answer or explanation may stand there: a record row, a
// setting of the case (or 100, any setting it leaves alone) before "%", or a fixed number.
bool isAllowedPlainNumber(const PlainNumber& number, const TeachingCase& c);

// The plain numbers of a case that should have been figures, each as "line 57: "57 %"".
std::vector<std::string> unmarkedModelNumbers(const TeachingCase& c);

} // namespace vm::session
