#pragma once
// Sessions the case and help tests read figures from, as the window and the runner make them: a
// teaching case's file opened, or a run from the standard reference; and a row's stored
// flow-volume curve read where no index does.

#include "model/forced_expiration_curve.h"
#include "session/case_library.h"
#include "session/session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

namespace vm::test {

inline const std::filesystem::path kExeDir = VM_RUNTIME_DIR;

// "astma_oskrzelowa": the case's file opened, read for its patient; "run rIntermediate=200
// global.3=2000": one run from the standard reference with those settings, read for the default
// patient; either followed by "@female,25,165" to read it for that patient.
inline std::unique_ptr<session::Session> sessionFor(std::string_view source) {
    auto s = std::make_unique<session::Session>(session::ProgramFolder{kExeDir});
    const auto at = source.find('@');
    const std::string what(source.substr(0, at));
    if (what.starts_with("run")) {
        s->InitialiseModel();
        EXPECT_FALSE(s->UseReferenceFrom(s->folder().standardRecord()).message);
        std::istringstream words(what.substr(3));
        for (std::string word; words >> word;) {
            const auto eq = word.find('=');
            const auto setting = session::settingNamed(word.substr(0, eq));
            EXPECT_TRUE(setting && eq != std::string::npos) << "a setting is NAME=PCT: " << word;
            if (!setting || eq == std::string::npos)
                continue;
            const double percent = std::stod(word.substr(eq + 1));
            if (setting->global)
                s->SetGlobalSetting(setting->index, percent);
            else
                s->SetPartSetting(record::LungPart(setting->part),
                                  record::SettingColumn(setting->index), percent);
        }
        s->StartSimulation({});
    } else {
        const auto opened = s->OpenSimulationFile(kExeDir / "simulations" / (what + ".spi"));
        EXPECT_FALSE(opened.message) << what << ": " << opened.message.value_or("");
    }
    if (at != std::string_view::npos) {
        const auto patient = session::parsePatient(source.substr(at + 1));
        EXPECT_TRUE(patient) << source;
        if (patient)
            s->SetPatient(*patient);
    }
    return s;
}

// The expiratory flow (positive) of a row's forced expiration at an absolute lung volume, linear
// between samples; NaN where the blow does not pass it.
inline double flowAtVolume(const record::SimulationRecord& record, int row, double volume_l) {
    const auto blow = model::forcedExpirationOf(record, row);
    for (int n = blow ? blow->startSample : 0; blow && n < blow->lastSample; ++n) {
        const double v0 = record.fvVolume(row, n), v1 = record.fvVolume(row, n + 1);
        if (v0 >= volume_l && volume_l >= v1 && v0 > v1)
            return -(record.fvFlow(row, n) +
                     (v0 - volume_l) / (v0 - v1) *
                         (record.fvFlow(row, n + 1) - record.fvFlow(row, n)));
    }
    return std::nan("");
}

} // namespace vm::test
