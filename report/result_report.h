#pragma once
// A result's reading as pictures and as a printed report: the spirogram and the z-score chart of
// a record row beside the reference, and one A4 page with the patient, the flow-volume curve and
// the spirogram, the indices with their predicted values, limits and z-scores, the z-score chart
// and the reading. Composed from the session, drawn by the plots.

#include "session/session.h"

#include <QImage>
#include <QSize>

#include <filesystem>
#include <string>

namespace vm::report {

// The reference's spirogram and record row `row`'s, the row's marked.
QImage SpirogramImage(const session::Session& session, int row, QSize size);

// FEV1, FVC and FEV1/FVC of row `row` and of the reference on the z-score scale; an index that
// cannot be read has no mark.
QImage ZScoreChartImage(const session::Session& session, int row, QSize size);

// The report of row `row` (1..3; 0 reports the reference alone) as a one-page PDF. Empty on
// success, else what went wrong; a file that cannot be written is left as it was.
std::string WriteResultReport(const session::Session& session, int row,
                              const std::filesystem::path& pdf);

// Whose patient a reading is for, in the report's words: "kobieta, 40 lat, 165 cm (zapisany w
// pliku)"; a stored patient that cannot be read is named as such.
QString patientDescription(const session::ReadingPatient& patient);

// How a patient's values come from the model's, for the foot of a table.
QString scalingNote();

} // namespace vm::report
