#pragma once
// One main window started on a data folder, with the recording seam and its own session.

#include "data_folder.h"
#include "recording_interaction.h"
#include "ui/main_window.h"
#include "window_probe.h"

#include <memory>
#include <utility>

using namespace vm::record;
using namespace vm::model;
using namespace vm::session;
using namespace vm::ui;

struct WindowUnderTest {
    RecordingInteraction interaction;
    SimulationRecord record;
    RecordState state;
    ModelState model;
    std::unique_ptr<Session> session;
    std::unique_ptr<TForm1> form;

    TForm1& start(const DataFolder& folder) {
        return start(folder, ProgramFolder{folder.exeDir().toStdString()});
    }
    // The same with a program folder of the test's own, such as one writing into a user's folder.
    TForm1& start(const DataFolder& folder, ProgramFolder programFolder) {
        return start(std::move(programFolder), folder.lockDirectory());
    }
    TForm1& start(ProgramFolder programFolder, const std::filesystem::path& lockDirectory) {
        form.reset();
        session = std::make_unique<Session>(record, state, model, std::move(programFolder));
        form = std::make_unique<TForm1>(interaction, *session, lockDirectory);
        return *form;
    }
    WindowProbe ui() const { return WindowProbe(*form); }
};
