// What the case texts and the help state of the model in words, where no figure can carry it,
// held to the case files and to runs of the session: effort independence at the same lung
// volume, the weak blows' acceptability and repeatability, and the settings "reset" keeps.

#include "flow_volume_probe.h"
#include "model/forced_expiration_curve.h"
#include "session/case_figures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace vm::session;
using namespace vm::record;

namespace {

const std::filesystem::path kExeDir = VM_RUNTIME_DIR;

std::unique_ptr<Session> openCase(const std::string& id) {
    auto session = std::make_unique<Session>(ProgramFolder{kExeDir});
    const ViewChanges opened =
        session->OpenSimulationFile(kExeDir / "simulations" / (id + ".spi"));
    EXPECT_FALSE(opened.message) << id << ": " << opened.message.value_or("");
    return session;
}

using vm::test::flowAtVolume;
using vm::test::lowestVolume;

// A stronger or weaker blow than the reference's: past both peaks its flow at a lung volume is
// the reference's there (effort independence), so its MEF50 and MEF25, read at shares of its own
// FVC, differ from the reference's only by the lung volume they fall at.
TEST(CaseClaims, EffortChangesNoFlowAtTheSameLungVolumePastThePeak) {
    for (const char* id : {"silny_wysilek", "slaby_wysilek"}) {
        const auto session = openCase(id);
        const SimulationRecord& record = session->record();
        const auto reference = vm::model::forcedExpirationOf(record, referenceRow);
        ASSERT_TRUE(reference);
        for (int row = 1; row <= 3; ++row) {
            SCOPED_TRACE(std::string(id) + " row " + std::to_string(row));
            const auto blow = vm::model::forcedExpirationOf(record, row);
            ASSERT_TRUE(blow);
            ASSERT_NEAR(blow->startVolume_l, reference->startVolume_l, 1e-3) << "both from TLC";
            const double from =
                std::max(blow->peakExhaled_l, reference->peakExhaled_l) + 0.5;
            const double to = 0.8 * blow->exhaledVolume_l();
            ASSERT_LT(from, to);
            for (double exhaled = from; exhaled <= to; exhaled += 0.05) {
                const double volume = blow->startVolume_l - exhaled;
                EXPECT_NEAR(flowAtVolume(record, row, volume) /
                                flowAtVolume(record, referenceRow, volume),
                            1.0, 0.04)
                    << exhaled << " l exhaled";
            }
            for (const auto& [field, share] : {std::pair{RowField::mef50, 0.5},
                                               std::pair{RowField::mef25, 0.25}}) {
                const double volume =
                    lowestVolume(record, row) + share * record.field(row, RowField::fvcex);
                EXPECT_NEAR(record.field(row, field) /
                                flowAtVolume(record, referenceRow, volume),
                            1.0, 0.03)
                    << rowIndexOf(field).name;
            }
        }
    }
}

// The weak blows pass the back-extrapolation criterion (ATS/ERS 2019: at most the larger of 5 %
// of the FVC and 0.100 l), so only the shape of the peak and repeatability tell the weak effort.
TEST(CaseClaims, WeakBlowsPassBackExtrapolationButAreNotRepeatable) {
    const auto session = openCase("slaby_wysilek");
    std::vector<double> fvc;
    for (int row = 1; row <= 3; ++row) {
        const CurveIndices indices = session->curveIndices(row);
        ASSERT_TRUE(indices.backExtrapolatedVolume_l.present() && indices.fvc_l.present());
        EXPECT_LE(indices.backExtrapolatedVolume_l.value,
                  std::max(0.05 * indices.fvc_l.value, 0.100))
            << "row " << row;
        fvc.push_back(session->readResult(row).indices[1].measured);
    }
    std::ranges::sort(fvc, std::greater<>());
    EXPECT_GT(fvc[0] - fvc[1], 0.150) << "the two largest FVC";
}

// Runs of the session from the standard reference with a few settings, read for a patient.
std::unique_ptr<Session> runWith(const std::string& name, double percent,
                                 const Patient& patient) {
    auto session = std::make_unique<Session>(ProgramFolder{kExeDir});
    session->InitialiseModel();
    EXPECT_FALSE(session->UseReferenceFrom(session->folder().standardRecord()).message);
    const auto setting = settingNamed(name);
    EXPECT_TRUE(setting) << name;
    if (setting && setting->global)
        session->SetGlobalSetting(setting->index, percent);
    else if (setting)
        session->SetPartSetting(LungPart(setting->part), SettingColumn(setting->index), percent);
    session->StartSimulation({});
    session->SetPatient(patient);
    return session;
}

double percentOfReference(const Session& session, RowField field) {
    return 100.0 * session.record().field(1, field) / session.record().field(referenceRow, field);
}

// What the cases say stays after "reset" or comes with more of the same disorder, each run as
// the window would run it.
TEST(CaseClaims, WhatTheCasesSayOfRunsTheirFilesDoNotHold) {
    const CaseLibrary library = [] {
        CaseLibrary read;
        EXPECT_TRUE(loadCaseLibrary(kExeDir / kCaseLibraryFile, read).ok);
        return read;
    }();
    const auto patientOf = [&library](std::string_view id) {
        const TeachingCase* c = library.find(id);
        EXPECT_NE(c, nullptr) << id;
        return c != nullptr ? c->patient : Patient{};
    };
    // Emphysema: the hidden wall collapsibility alone keeps FEV1 well below the reference.
    const auto collapsible = runWith("stiffness", 300.0, patientOf("rozedma_pluc"));
    EXPECT_LT(percentOfReference(*collapsible, RowField::fev1), 80.0);
    // Weak effort: the slow rise alone, which "reset" keeps, still lowers PEF.
    const auto afterReset = runWith("global.1", 20.0, patientOf("slaby_wysilek"));
    EXPECT_LT(percentOfReference(*afterReset, RowField::pef), 90.0);
    // Small airways: more peripheral resistance than the case's rows brings obstruction.
    const auto worse = runWith("rPeripheral", 400.0, patientOf("male_drogi_oddechowe"));
    const ResultReading reading = worse->readResult(1);
    ASSERT_TRUE(reading.ok()) << reading.problem;
    EXPECT_EQ(reading.reading.pattern, vm::reference::SpirometryPattern::obstruction);
}

} // namespace
