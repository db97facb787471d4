#pragma once
// The program's state and its commands beneath the window: the record, the record-wide state, the
// model and the program folder, changed only through the commands below. Each command returns
// what it changed on screen, so that a window redraws exactly that and a headless caller can
// ignore it.

#include "data/text_grid.h"
#include "model/model_state.h"
#include "model/run_hooks.h"
#include "record/lung_frame_values.h"
#include "record/record_state.h"
#include "record/settings_table.h"
#include "record/simulation_record.h"
#include "reference/gli_spline_table.h"
#include "session/result_reading.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace vm::record {
class ScratchFile;
} // namespace vm::record

namespace vm::session {

// The live calls of a run: empty ones mean headless.
using model::RunHooks;

// The folder of the executable, below which every data file is found.
struct ProgramFolder {
    std::filesystem::path exeDir;
    // Where the program writes its simulation files, write probe and scratch picture: empty for
    // exeDir itself, or the user's own folder when the program runs installed
    // (session/user_folder.h).
    std::filesystem::path writableDir{};
    // Why the program, installed, has no folder of its own to write into (the file layer's
    // message, say, of making the user's folder); empty when it has one. Start-up then refuses.
    std::string writableProblem{};

    // exeDir followed by a relative name such as "datfiles1/F000.dat", folders matched without
    // regard to letter case.
    std::filesystem::path dataPath(std::string_view relative) const;
    const std::filesystem::path& writableRoot() const {
        return writableDir.empty() ? exeDir : writableDir;
    }
    // Like dataPath, below writableRoot().
    std::filesystem::path writablePath(std::string_view relative) const;
    std::filesystem::path standardRecord() const { return dataPath("datfiles1/standard.dat"); }
};

// What the volume-time plot shows after a command.
enum class VolumeTimeView {
    unchanged,
    selectedCurve, // the selected result on a fresh frame
    emptyFrame,
};

// The results table: the indices of record row `row` beside the reference, or, without values,
// the reference's alone.
struct ResultsTableView {
    int row = 0;
    bool withValues = true;
    bool operator==(const ResultsTableView&) const = default;
};

// A cell of the row grid's current-settings line and its new text.
struct SettingCell {
    int column = 0;
    std::string text;
    bool operator==(const SettingCell&) const = default;
};

// What a command changed on screen. Unset members mean "as it was".
struct ViewChanges {
    // A message for the user: the file layer's error (then nothing else changed), or a save's
    // confirmation.
    std::optional<std::string> message{};
    bool currentSettingsLine = false;                // row grid line 0, from the reference row
    std::optional<SettingCell> currentSettingCell{}; // one cell of row grid line 0
    bool resultLines = false;                        // row grid lines 1..3, from record rows 1..3
    bool referenceLine = false;                      // row grid line 4, from the reference row
    // The row grid's cursor moves to this line; moving it selects that result like a click.
    std::optional<int> gridCursor{};
    std::optional<int> controlsFromRow{}; // the track bars show this record row's settings
    bool controlsToDefaults = false;      // the track bars go back to their default positions
    std::optional<record::LungPart> editedPart{}; // the lung selector shows this part
    std::optional<ResultsTableView> resultsTable{};
    bool flowVolumePlot = false;
    VolumeTimeView volumeTime = VolumeTimeView::unchanged;
    std::optional<int> settingNote{}; // the note box shows this setting note
    bool noteBoxCleared = false;
    std::optional<std::string> dataSourceLabel{};
    std::optional<std::string> soundAlias{}; // the run's outcome, once the window is back in use

    bool operator==(const ViewChanges&) const = default;
};

// Simulation files are the record's bytes, kept in simulations/ beside the program; "Zapisz"
// writes under this name until "Zapisz jako" chooses another.
inline constexpr std::string_view kDefaultSimulationFileName = "data_default.spi";

// "Zapisz jako" never takes the standard reference's name, in any letter case.
bool isRefusedSimulationFileName(const std::filesystem::path& path);

// The system sound that tells a run's outcome: "SystemAsterisk" for a valid result,
// "SystemHand" otherwise.
std::string runOutcomeSoundAlias(float runStatus);

class Session {
  public:
    // A session on a record, state and model of its own, as the runner and batch work use it.
    explicit Session(ProgramFolder folder);
    // A session on the given ones, which must outlive it: the program's one instance, and tests
    // that look at what the commands did.
    Session(record::SimulationRecord& record, record::RecordState& state, model::ModelState& model,
            ProgramFolder folder);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // What the session holds, to be read; only the commands below change it.
    const record::SimulationRecord& record() const { return record_; }
    const record::RecordState& state() const { return state_; }
    const ProgramFolder& folder() const { return folder_; }
    // What the model shows now, for the live lung frame.
    record::LungFrameValues liveLungFrame() const;

    // --- The patient the results are read for, and a result read as a spirometer reads it ---
    const Patient& patient() const { return patient_.patient; }
    const ReadingPatient& readingPatient() const { return patient_; }
    // A patient for whom the reference equations apply becomes the results'; one outside them
    // is refused with the reason, and nothing changes. Saved files carry it from then on.
    ViewChanges SetPatient(const Patient& patient, PatientOrigin origin = PatientOrigin::entered);
    // Another session's patient, as it stands there: the sweep's points take their start's.
    void TakePatient(const ReadingPatient& patient) { patient_ = patient; }
    // Whether a patient was given or read rather than left at the default.
    bool hasPatient() const { return patient_.origin != PatientOrigin::standard; }
    // Record row `row` read for the patient (session/result_reading.h); a row hidden for the
    // quiz is not read.
    ResultReading readResult(int row) const;
    // The same, hidden or not: the quiz's own key.
    ResultReading readHiddenResult(int row) const;
    // Why no result can be read for the patient (outside the equations, the equations' table
    // unreadable); empty when a valid one can.
    std::string readingProblem() const;
    // Every index of record row `row`, in the order of the index table.
    IndexValues indices(int row) const;
    Spirogram spirogram(int row) const;

    // Start-up: all five rows from the standard record. A record that cannot be read is left as
    // it was, and the changes carry only the file layer's message.
    ViewChanges LoadStandardRecord();
    // Every current setting back to 100 %. The track bars are the window's and do not move.
    ViewChanges ResetCurrentSettings();
    // The model settles into the state every run begins from, and every row's part settings
    // become 100. beep sounds when the solver gives up while settling.
    void InitialiseModel(const std::function<void()>& beep = {});

    // --- The current settings, changed only here ---
    // A control's setting: a column of the edited part (its row-grid cell and note are shown) or
    // a global item.
    ViewChanges SetSetting(const record::Setting& setting, double percent);
    // Any column of any part, any global item: the runner's --set and --global.
    ViewChanges SetPartSetting(record::LungPart part, record::SettingColumn column, double percent);
    ViewChanges SetGlobalSetting(int item, double percent);
    // The lung part the controls edit: only both lungs is ever edited, so another choice is
    // taken back.
    ViewChanges ChooseEditedPart(record::LungPart part);
    // "reset": the track bars back to their default positions, each that moves setting its
    // setting to 100, and the note box cleared.
    ViewChanges ResetControls();
    // The current part settings from record row `row` (-1: the reference), and the track bars
    // brought to them.
    ViewChanges LoadRowSettings(int row);
    // The part and global settings of record row `row` become current, as a run from that row
    // takes them.
    ViewChanges TakeRowSettings(int row);
    // What a control shows for record row `row`: a column's current value (loaded from the row),
    // a global item's stored value (which reaches the current settings only through the control).
    double controlSetting(const record::Setting& setting, int row) const;

    // START's model part: the previous newest result is kept, the working row's curves cleared
    // and the current settings stored into it, the model runs with hooks, the earlier results move
    // down (three stay beside the reference, one more hidden in row 4) and the new one, whatever
    // its outcome, becomes the selected newest result.
    ViewChanges StartSimulation(const RunHooks& hooks);
    // What START shows while the model runs: the empty volume-time frame the live curve grows
    // on, the reference's indices alone and no note.
    static ViewChanges viewsWhileRunning();

    // Row r of the row grid (0..4) selects result r when it holds one; otherwise nothing changes.
    ViewChanges SelectResultRow(int r);
    // The later results move up over the selected one; the newest remaining one is selected.
    ViewChanges DeleteSelectedRow();
    // The selected result becomes the reference; every result keeps its absolute settings.
    ViewChanges UseSelectedAsReference();
    // Row 0 of the standard record becomes the reference again; every result keeps its absolute
    // settings. The file is read first: when it cannot be, nothing changes.
    ViewChanges RestoreStandardReference();
    // Row 0 of another record file becomes the reference, as stored; nothing else changes. The
    // file is read first: when it cannot be, nothing changes.
    ViewChanges UseReferenceFrom(const std::filesystem::path& path);

    // The results table's text for record row `row` beside the reference; the note to show for
    // the selected result's status (see results_table.h).
    int ShowResultsTable(data::TextGrid& grid, int row, bool withValues,
                         char decimalSeparator) const;
    // One line of the row grid from a record row's settings; "?" in each cell of a hidden row.
    void FillGridRow(data::TextGrid& grid, int gridRow, int recordRow, char decimalSeparator) const;

    // The unknown patient's result shows no settings until the student has answered: record row
    // `row` is hidden in the row grid, the settings table and the hidden-settings notice; -1
    // shows every row again.
    void HideRowSettings(int row) { hiddenSettingsRow_ = row; }
    int hiddenSettingsRow() const { return hiddenSettingsRow_; }

    // Simulation files. The dialogs start in simulationsFolder().
    std::filesystem::path simulationsFolder() const;
    const std::string& currentFileName() const { return currentFileName_; }
    // All five rows from a file, read whole before anything changes: a file that cannot be read
    // leaves everything as it was and gives only the file layer's message. The results are rows
    // 1 up to the highest whose flow-volume curve begins, at most three; row 1 is then selected.
    // An empty path is a cancelled dialog, which only clears the note box.
    ViewChanges OpenSimulationFile(const std::filesystem::path& path);
    // The record into simulationsFolder() under currentFileName(), replacing the file only once
    // the whole record is written, then says where.
    ViewChanges SaveSimulationFile();
    // The record to path, which becomes currentFileName() (without its folder); an empty path is
    // a cancelled dialog and a refused name writes nothing.
    ViewChanges SaveSimulationFileAs(const std::filesystem::path& path);
    // The record to path as it stands, whatever its name: the runner's --out. Only a failure
    // says anything.
    ViewChanges WriteRecordTo(const std::filesystem::path& path);
    // The same record as bytes on a stream, such as the runner's standard output; the stream
    // says whether they were written.
    void WriteRecordToStream(std::ostream& out);

  private:
    void loadCurrentPartSettings(int row);
    // The record with the patient in the reference row as files keep it: the patient when one
    // was given or read, none for the default patient, and an unreadable one left as it was.
    void storePatient();
    const reference::GliSplineTable* gliTable() const;

    struct Owned;
    std::unique_ptr<Owned> owned_; // the record, state and model of a session of its own
    record::SimulationRecord& record_;
    record::RecordState& state_;
    model::ModelState& model_;
    ProgramFolder folder_;
    std::string currentFileName_{kDefaultSimulationFileName};
    ReadingPatient patient_{};
    // The reference equations' table, read at the first reading.
    mutable std::optional<reference::GliSplineTable> gliTable_;
    mutable std::string gliProblem_;
    int hiddenSettingsRow_ = -1;
};

// Empty when a record can be written to path, else the file layer's message: checked before work
// whose result would be lost.
std::string checkWritableTarget(const std::filesystem::path& path);

// A file of the file layer's own for a record written and read back before its target is
// written (record::ScratchFile), removed when this goes.
class ScratchRecordFile {
  public:
    explicit ScratchRecordFile(const std::filesystem::path& target);
    ~ScratchRecordFile();
    ScratchRecordFile(const ScratchRecordFile&) = delete;
    ScratchRecordFile& operator=(const ScratchRecordFile&) = delete;
    // Empty when it was made, else the file layer's message.
    std::string problem() const;
    const std::filesystem::path& path() const;

  private:
    std::unique_ptr<record::ScratchFile> file_;
};

} // namespace vm::session
