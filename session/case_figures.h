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

} // namespace vm::session
