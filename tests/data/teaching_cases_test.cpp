// The teaching cases in simulations/: three valid runs each, whose indices show the pattern the
// file's name promises against the standard reference; where the rows are one disorder growing
// worse, mildest in row 3 and most severe in row 1.

#include "record/record_file.h"
#include "record/simulation_record.h"
#include "record/vocabulary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace vm::record;

namespace fs = std::filesystem;

namespace {

const fs::path kExeDir = VM_RUNTIME_DIR;

// One row's value of an index, or of a figure made of several.
using Measure = std::function<double(const SimulationRecord&, int row)>;

Measure index(RowField f) {
    return [f](const SimulationRecord& r, int row) { return r.field(row, f); };
}

// The plateau of a fixed central obstruction: flow barely falls from 75 % to 50 % of FVC left.
const Measure kPlateau = [](const SimulationRecord& r, int row) {
    return r.field(row, RowField::mef50) / r.field(row, RowField::mef75);
};
// Empey's index, FEV1 in ml over PEF in l/min: above 10 points to a large-airway obstruction.
const Measure kEmpey = [](const SimulationRecord& r, int row) {
    return 1000.0 * r.field(row, RowField::fev1) / (60.0 * r.field(row, RowField::pef));
};
const Measure kResidualVolume = [](const SimulationRecord& r, int row) {
    return r.field(row, RowField::tlc) - r.field(row, RowField::fvcex);
};
// The bronchodilator's gain in FEV1 from row 3 (before) to row 2 (after), as a share of the
// reference, which stands for the predicted value: above 0.10 is a significant response.
const Measure kBronchodilatorGain = [](const SimulationRecord& r, int) {
    return (r.field(2, RowField::fev1) - r.field(3, RowField::fev1)) /
           r.field(referenceRow, RowField::fev1);
};

// value(row) compared with `bound`, or with bound x the reference's value when relative.
struct Check {
    const char* what;
    Measure value;
    bool below;
    double bound;
    bool relative;
    bool severestOnly = false;
};

struct TeachingCase {
    const char* file;
    const char* severity; // falls from row 3 to row 1, or rises when `severityRises`; nullptr
                          // where the rows are not one disorder growing worse
    Measure severityValue;
    bool severityRises;
    std::vector<Check> everyRow; // or row 1 alone when severestOnly
};

const std::vector<TeachingCase>& teachingCases() {
    static const std::vector<TeachingCase> cases = {
        {"zwezenie_tchawicy",
         "PEF",
         index(RowField::pef),
         false,
         {{"PEF", index(RowField::pef), true, 0.6, true},
          {"plateau MEF50/MEF75", kPlateau, false, 0.8, false},
          {"Empey's index", kEmpey, false, 10, false, true},
          {"MEF25", index(RowField::mef25), false, 0.95, true},
          {"FVCEX", index(RowField::fvcex), false, 0.98, true}}},
        {"astma_oskrzelowa",
         "FEV1",
         index(RowField::fev1),
         false,
         {{"FEV1%FVC", index(RowField::fev1PctFvc), true, 70, false},
          {"MEF25", index(RowField::mef25), true, 0.5, true},
          {"FVCEX", index(RowField::fvcex), false, 0.95, true}}},
        {"rozedma_pluc",
         "FEV1",
         index(RowField::fev1),
         false,
         {{"FEV1%FVC", index(RowField::fev1PctFvc), true, 70, false},
          {"MEF25", index(RowField::mef25), true, 0.5, true},
          {"TLC", index(RowField::tlc), false, 1.03, true},
          {"RV", kResidualVolume, false, 1.0, true}}},
        {"wloknienie_pluc",
         "FVCEX",
         index(RowField::fvcex),
         false,
         {{"FVCEX", index(RowField::fvcex), true, 0.85, true},
          {"TLC", index(RowField::tlc), true, 0.85, true},
          {"FEV1%FVC", index(RowField::fev1PctFvc), false, 1.0, true}}},
        {"zwezenie_prawego_oskrzela",
         "PEF",
         index(RowField::pef),
         false,
         {{"PEF", index(RowField::pef), true, 0.97, true},
          {"MEF50", index(RowField::mef50), false, 0.98, true},
          {"FVCEX", index(RowField::fvcex), false, 0.99, true}}},
        {"slaby_wysilek",
         "PEF",
         index(RowField::pef),
         false,
         {{"PEF", index(RowField::pef), true, 0.95, true},
          {"FVCEX", index(RowField::fvcex), true, 0.98, true},
          {"FEV1%FVC", index(RowField::fev1PctFvc), false, 1.0, true}}},
        {"odwracalnosc_obturacji",
         "FEV1 after treatment",
         index(RowField::fev1),
         true,
         {{"FVCEX", index(RowField::fvcex), false, 0.98, true},
          {"FEV1 gain", kBronchodilatorGain, false, 0.10, false, true}}},
        // Obstruction alone, smaller lungs alone, both: FEV1%FVC and TLC tell them apart.
        {"zaburzenia_mieszane",
         nullptr,
         {},
         false,
         {{"FEV1%FVC", index(RowField::fev1PctFvc), true, 70, false, true},
          {"TLC", index(RowField::tlc), true, 0.8, true, true},
          {"FVCEX", index(RowField::fvcex), true, 0.8, true, true}}},
        {"niepelny_wdech",
         "FVCEX",
         index(RowField::fvcex),
         false,
         {{"FRC", index(RowField::frc), false, 0.99, true},
          {"ERV", index(RowField::erv), false, 0.99, true},
          {"FEV1%FVC", index(RowField::fev1PctFvc), false, 0.95, true},
          {"FVCEX", index(RowField::fvcex), true, 0.75, true, true}}},
        {"przedwczesne_zakonczenie",
         "FET",
         index(RowField::fet),
         false,
         {{"FEV1%FVC", index(RowField::fev1PctFvc), true, 70, false},
          {"FET", index(RowField::fet), true, 2.0, false, true},
          {"MEF25", index(RowField::mef25), true, 0.01, false, true}}},
        {"silny_wysilek",
         "ERV",
         index(RowField::erv),
         true,
         {{"FEV1", index(RowField::fev1), false, 0.99, true},
          {"FEV1", index(RowField::fev1), true, 1.01, true},
          {"PEF", index(RowField::pef), false, 1.03, true}}},
        {"male_drogi_oddechowe",
         "MEF25",
         index(RowField::mef25),
         false,
         {{"FEV1", index(RowField::fev1), false, 0.85, true},
          {"FVCEX", index(RowField::fvcex), false, 0.99, true},
          {"MEF25", index(RowField::mef25), true, 0.65, true, true}}},
        {"duze_pluca_sportowca",
         "FVCEX",
         index(RowField::fvcex),
         true,
         {{"FVCEX", index(RowField::fvcex), false, 1.05, true},
          {"FEV1%FVC", index(RowField::fev1PctFvc), true, 1.0, true},
          {"PEF", index(RowField::pef), false, 0.99, true}}},
    };
    return cases;
}

TEST(TeachingCases, EachShowsItsPatternGrowingWorseRunByRun) {
    SimulationRecord standard;
    ASSERT_TRUE(readRecordFile(kExeDir / "datfiles1" / "standard.dat", standard).ok);
    for (const TeachingCase& c : teachingCases()) {
        SCOPED_TRACE(c.file);
        SimulationRecord record;
        const FileResult read =
            readRecordFile(kExeDir / "simulations" / (std::string(c.file) + ".spi"), record);
        ASSERT_TRUE(read.ok) << read.message;
        // The standard reference, with the case's patient stored beside it.
        EXPECT_NE(record.storedPatient(referenceRow).sex, 0.0f) << "the case's patient is stored";
        SimulationRecord withoutPatient = record;
        withoutPatient.setStoredPatient(referenceRow, {});
        EXPECT_TRUE(withoutPatient.rowBytes(referenceRow) == standard.rowBytes(referenceRow))
            << "compared with the standard reference";
        EXPECT_EQ(record.fvVolume(4, 1), 0.0f) << "three results, no fourth";
        for (int row = 1; row <= 3; ++row) {
            EXPECT_EQ(record.field(row, RowField::runStatus), 1.0f) << "row " << row;
            for (const Check& check : c.everyRow) {
                if (check.severestOnly && row != 1)
                    continue;
                const double bound =
                    check.relative ? check.bound * check.value(record, referenceRow) : check.bound;
                const double value = check.value(record, row);
                EXPECT_EQ(value < bound, check.below)
                    << check.what << " in row " << row << ": " << value << " against " << bound;
            }
        }
        for (int row = 1; row <= 2 && c.severity != nullptr; ++row) {
            const double worse = c.severityValue(record, row);
            const double milder = c.severityValue(record, row + 1);
            EXPECT_EQ(worse > milder, c.severityRises)
                << c.severity << " of row " << row << " " << worse << ", row " << row + 1 << " "
                << milder;
        }
    }
}

// A narrowed main bronchus is set for its own lung alone, which the per-lobe table shows; the
// trachea and the other side stay at the reference.
TEST(TeachingCases, OneBronchusNarrowedOnItsOwnSideOnly) {
    SimulationRecord record;
    ASSERT_TRUE(
        readRecordFile(kExeDir / "simulations" / "zwezenie_prawego_oskrzela.spi", record).ok);
    for (int row = 1; row <= 3; ++row) {
        EXPECT_GT(record.partSetting(row, LungPart::rightLung, SettingColumn::rCentral), 100.0f);
        EXPECT_EQ(record.partSetting(row, LungPart::leftLung, SettingColumn::rCentral), 100.0f);
        EXPECT_EQ(record.partSetting(row, LungPart::bothLungs, SettingColumn::rCentral), 100.0f);
    }
}

} // namespace
