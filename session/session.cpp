#include "session/session.h"

#include "record/vocabulary.h"

#include "data/startup_checks.h"
#include "model/forced_expiration_run.h"
#include "model/model_initialisation.h"
#include "record/file_replace.h"
#include "record/record_file.h"
#include "session/results_table.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

using namespace vm::record;

namespace vm::session {

using namespace layout;

namespace {

constexpr int kShownResults = 3; // the row grid has room for three results
// Only these first global items follow the reference; the last four keep their values.
constexpr int kReferencedGlobalItems = 16;

void clearCurves(SimulationRecord& record, int row) {
    for (int k = 1; k <= kVtSamples; ++k) {
        record.setVtTime(row, k, 0.0f);
        record.setVtVolume(row, k, 0.0f);
    }
    record.clearFvVolume(row);
    record.clearFvFlow(row);
}

void shiftEarlierResultsDown(SimulationRecord& record, const ResultRowBytes& previousNewest) {
    record.copyRow(3, 4);
    record.copyRow(2, 3);
    record.setRowBytes(2, previousNewest);
}

// Each result is re-expressed relative to row s, which is about to become the reference; s
// itself last. The ratios are taken in extended precision and stored as single precision.
template <class Get, class Set> void rescaleToRow(int s, int resultCount, Get get, Set set) {
    for (int j = 1; j <= resultCount; ++j) {
        if (j == s)
            continue;
        const long double divisor = get(s);
        if (divisor != 0)
            set(j, static_cast<float>(100.0L * get(j) / divisor));
    }
    const long double own = get(s);
    if (own != 0)
        set(s, static_cast<float>(100.0L * own / own));
}

float percentOf(float reference, float row) {
    return static_cast<float>(static_cast<long double>(reference) * row / 100.0L);
}

void makeRowReference(SimulationRecord& record, int s, int resultCount) {
    std::array<float, kGlobalItems> newGlobal{};
    for (int i = 0; i < kGlobalItems; ++i) {
        newGlobal[i] = percentOf(record.globalSetting(referenceRow, i), record.globalSetting(s, i));
        rescaleToRow(
            s, resultCount, [&](int row) -> long double { return record.globalSetting(row, i); },
            [&](int row, float v) { record.setGlobalSetting(row, i, v); });
    }
    std::array<std::array<float, kSettingColumns>, kParts> newPart{};
    for (int p = 0; p < kParts; ++p) {
        for (int c = 0; c < kSettingColumns; ++c)
            newPart[p][c] =
                percentOf(record.partSetting(referenceRow, p, c), record.partSetting(s, p, c));
        for (int c = 0; c < kSettingColumns; ++c)
            rescaleToRow(
                s, resultCount,
                [&](int row) -> long double { return record.partSetting(row, p, c); },
                [&](int row, float v) { record.setPartSetting(row, p, c, v); });
    }
    record.copyRow(s, referenceRow);
    for (int i = 0; i < kGlobalItems; ++i)
        record.setGlobalSetting(referenceRow, i, newGlobal[i]);
    for (int p = 0; p < kParts; ++p)
        for (int c = 0; c < kSettingColumns; ++c)
            record.setPartSetting(referenceRow, p, c, newPart[p][c]);
}

// Every result's settings multiplied out by the reference's, so that they stay right once the
// reference is one of 100 %.
void expressResultsAbsolute(SimulationRecord& record, int resultCount) {
    for (int p = 0; p < kParts; ++p)
        for (int i = 1; i <= resultCount; ++i)
            for (int c = 0; c < kSettingColumns; ++c)
                record.setPartSetting(
                    i, p, c,
                    percentOf(record.partSetting(i, p, c), record.partSetting(referenceRow, p, c)));
    for (int i = 1; i <= resultCount; ++i)
        for (int j = 0; j < kReferencedGlobalItems; ++j)
            record.setGlobalSetting(
                i, j, percentOf(record.globalSetting(i, j), record.globalSetting(referenceRow, j)));
}

// The data-source label names a file without its folder and extension.
std::string dataSourceLabel(const std::filesystem::path& file) {
    return "Plik:  " + file.stem().string();
}

ViewChanges fileError(const FileResult& result) {
    ViewChanges changes;
    changes.message = result.message;
    return changes;
}

// What a new reference changes: every result line and the reference line, the plot, the results
// table and the controls for the shown row, and the note box.
ViewChanges newReferenceViews(int shownRow) {
    ViewChanges changes;
    changes.resultLines = true;
    changes.referenceLine = true;
    changes.controlsFromRow = shownRow;
    changes.resultsTable = ResultsTableView{shownRow, true};
    changes.flowVolumePlot = true;
    changes.noteBoxCleared = true;
    return changes;
}

} // namespace

std::filesystem::path ProgramFolder::dataPath(std::string_view relative) const {
    return data::resolveDataPath(exeDir, relative);
}

std::filesystem::path ProgramFolder::writablePath(std::string_view relative) const {
    return data::resolveDataPath(writableRoot(), relative);
}

std::string checkWritableTarget(const std::filesystem::path& path) {
    const FileResult target = record::checkWritableTarget(path);
    return target.ok ? std::string() : target.message;
}

ScratchRecordFile::ScratchRecordFile(const std::filesystem::path& target)
    : file_(std::make_unique<record::ScratchFile>(target)) {}

ScratchRecordFile::~ScratchRecordFile() = default;

std::string ScratchRecordFile::problem() const {
    return file_->made().message;
}

const std::filesystem::path& ScratchRecordFile::path() const {
    return file_->path();
}

bool isRefusedSimulationFileName(const std::filesystem::path& path) {
    std::string name = path.filename().string();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name == "STANDARD.SPI";
}

std::string runOutcomeSoundAlias(float runStatus) {
    return std::nearbyint(runStatus) == 1.0f ? "SystemAsterisk" : "SystemHand";
}

struct Session::Owned {
    SimulationRecord record;
    RecordState state;
    model::ModelState model;
};

Session::Session(ProgramFolder folder)
    : owned_(std::make_unique<Owned>()), record_(owned_->record), state_(owned_->state),
      model_(owned_->model), folder_(std::move(folder)) {}

Session::Session(SimulationRecord& record, RecordState& state, model::ModelState& model,
                 ProgramFolder folder)
    : record_(record), state_(state), model_(model), folder_(std::move(folder)) {}

Session::~Session() = default;

// The central coefficients are the copies each substep takes, the values a recorded sample keeps.
LungFrameValues Session::liveLungFrame() const {
    LungFrameValues values;
    for (int j = 0; j < kFrameLobes; ++j) {
        const auto lobe = static_cast<std::size_t>(j);
        values.lobeVolume[lobe] = model_.state.lobeVolume[lobe];
        values.peripheralResistance[lobe] = model_.state.peripheralResistance[lobe];
        values.intermediateResistance[lobe] = model_.state.intermediateEffResistance[lobe];
        values.flowLimited[lobe] = model_.state.flowLimited[lobe] != 0;
    }
    values.tracheaCoefficient = model_.state.tracheaCoefficientCopy;
    values.leftBronchusCoefficient = model_.state.bronchusCoefficientCopy[0];
    values.rightBronchusCoefficient = model_.state.bronchusCoefficientCopy[1];
    return values;
}

// As the track bars take a row's settings: every part, not only the one they show.
void Session::loadCurrentPartSettings(int row) {
    loadCurrentPartSettingsFromRow(state_, record_, row);
}

ViewChanges Session::LoadStandardRecord() {
    const FileResult read = readRecordFile(folder_.standardRecord(), record_);
    if (!read.ok)
        return fileError(read);
    ViewChanges changes;
    changes.currentSettingsLine = true;
    changes.resultLines = true;
    changes.referenceLine = true;
    changes.gridCursor = 1; // nothing is selected: there are no results yet
    changes.resultsTable = ResultsTableView{0, true};
    changes.flowVolumePlot = true;
    changes.volumeTime = VolumeTimeView::emptyFrame;
    return changes;
}

ViewChanges Session::ResetCurrentSettings() {
    state_.resetCurrentSettings();
    return {};
}

void Session::InitialiseModel(const std::function<void()>& beep) {
    model::InitialiseModel(model_, record_, true, beep);
}

// The stored patient's sex code: 0 none, 1 male, 2 female.
namespace {
constexpr float kStoredNone = 0.0f;
constexpr float kStoredMale = 1.0f;
constexpr float kStoredFemale = 2.0f;

std::string storedNumber(float v) {
    return std::isfinite(v) ? formatNumber(v, 6, 1, '.') : std::string("not a number");
}

// The patient a file stores, none, or one that cannot be read with why.
ReadingPatient patientOf(const SimulationRecord::StoredPatient& stored) {
    ReadingPatient out;
    if (stored.sex == kStoredNone)
        return out;
    out.origin = PatientOrigin::unreadable;
    const std::string numbers = "sex code " + storedNumber(stored.sex) + ", age " +
                                storedNumber(stored.age_years) + ", height " +
                                storedNumber(stored.height_cm);
    if (stored.sex != kStoredMale && stored.sex != kStoredFemale) {
        out.problem = "the patient stored in the file cannot be read (" + numbers + ")";
        return out;
    }
    out.patient = {stored.sex == kStoredMale ? Sex::male : Sex::female, stored.age_years,
                   stored.height_cm};
    if (const std::string problem = patientProblem(out.patient); !problem.empty()) {
        out.problem = "the patient stored in the file cannot be read (" + numbers + "): " + problem;
        return out;
    }
    out.origin = PatientOrigin::stored;
    return out;
}
} // namespace

ViewChanges Session::SetPatient(const Patient& patient, PatientOrigin origin) {
    ViewChanges changes;
    if (std::string problem = patientProblem(patient); !problem.empty()) {
        changes.message = std::move(problem);
        return changes;
    }
    patient_ = {patient, origin, {}};
    return changes;
}

void Session::storePatient() {
    switch (patient_.origin) {
    case PatientOrigin::unreadable: // the file's bytes stay as they were read
    case PatientOrigin::standard:   // as the file had them, which named none
        return;
    case PatientOrigin::entered:
    case PatientOrigin::stored:
    case PatientOrigin::drawn:
        break;
    }
    const Patient& p = patient_.patient;
    record_.setStoredPatient(referenceRow,
                             {p.sex == Sex::male ? kStoredMale : kStoredFemale,
                              static_cast<float>(p.age_years), static_cast<float>(p.height_cm)});
}

const reference::GliSplineTable* Session::gliTable() const {
    if (!gliTable_ && gliProblem_.empty()) {
        reference::GliSplineTable table;
        const FileResult read = reference::loadGliSplineTable(
            folder_.dataPath("datfiles1/gli-global-2022-splines.csv"), table);
        if (read.ok)
            gliTable_ = std::move(table);
        else
            gliProblem_ = read.message;
    }
    return gliTable_ ? &*gliTable_ : nullptr;
}

std::string Session::readingProblem() const {
    if (patient_.origin == PatientOrigin::unreadable)
        return patient_.problem;
    if (std::string problem = patientProblem(patient_.patient); !problem.empty())
        return problem;
    return gliTable() ? std::string() : gliProblem_;
}

ResultReading Session::readResult(int row) const {
    if (row == hiddenSettingsRow_ && row != referenceRow) {
        checkRow(row);
        ResultReading hidden;
        hidden.patient = patient_;
        hidden.hidden = true;
        hidden.problem = kHiddenReading;
        return hidden;
    }
    return readHiddenResult(row);
}

ResultReading Session::readHiddenResult(int row) const {
    checkRow(row);
    const reference::GliSplineTable* table = gliTable();
    return session::readResult(record_, row, patient_, table, gliProblem_);
}

IndexValues Session::indices(int row) const {
    checkRow(row);
    return model::readIndices(record_, row);
}

Spirogram Session::spirogram(int row) const {
    checkRow(row);
    return model::spirogramOf(record_, row);
}

ViewChanges Session::SetSetting(const Setting& setting, double percent) {
    ViewChanges changes;
    if (!setting.target.isColumn()) {
        state_.currentGlobal(setting.target.index) = percent;
    } else {
        state_.currentPart(kEditedPart, setting.target.index) = percent;
        // The current-settings line shows what the control set, without decimals.
        if (setting.rowGridColumn >= 0)
            changes.currentSettingCell = SettingCell{
                setting.rowGridColumn, "   " + std::to_string(static_cast<long long>(percent))};
    }
    if (setting.noteKey != 0)
        changes.settingNote = setting.noteKey;
    return changes;
}

ViewChanges Session::SetPartSetting(LungPart part, SettingColumn column, double percent) {
    state_.currentPart(part, column) = percent;
    return {};
}

ViewChanges Session::SetGlobalSetting(int item, double percent) {
    state_.currentGlobal(item) = percent;
    return {};
}

ViewChanges Session::ChooseEditedPart(LungPart) {
    ViewChanges changes;
    changes.editedPart = kEditedPart;
    return changes;
}

ViewChanges Session::ResetControls() {
    ViewChanges changes;
    changes.controlsToDefaults = true;
    changes.noteBoxCleared = true;
    return changes;
}

ViewChanges Session::LoadRowSettings(int row) {
    const int source = row == -1 ? referenceRow : row;
    loadCurrentPartSettings(source);
    ViewChanges changes;
    changes.controlsFromRow = source;
    return changes;
}

ViewChanges Session::TakeRowSettings(int row) {
    loadCurrentGlobalSettingsFromRow(state_, record_, row);
    loadCurrentPartSettings(row);
    return {};
}

double Session::controlSetting(const Setting& setting, int row) const {
    if (setting.target.isColumn())
        return state_
            .currentPartSettings[kEditedPart][static_cast<std::size_t>(setting.target.index)];
    return record_.globalSetting(row, setting.target.index);
}

int Session::ShowResultsTable(data::TextGrid& grid, int row, bool withValues,
                              char decimalSeparator) const {
    return session::ShowResultsTable(grid, record_, state_, row, withValues, decimalSeparator);
}

void Session::FillGridRow(data::TextGrid& grid, int gridRow, int recordRow,
                          char decimalSeparator) const {
    session::FillGridRow(grid, record_, gridRow, recordRow, decimalSeparator);
    if (recordRow == hiddenSettingsRow_)
        for (int column = 0; column < grid.columnCount(); ++column)
            if (!grid.cell(column, gridRow).empty())
                grid.setCell(column, gridRow, "   ?");
}

ViewChanges Session::StartSimulation(const RunHooks& hooks) {
    const ResultRowBytes previousNewest = record_.rowBytes(workingRow);
    clearCurves(record_, workingRow);
    storeCurrentSettingsIntoWorkingRow(state_, record_);
    model::RunForcedExpiration(model_, record_, hooks);

    shiftEarlierResultsDown(record_, previousNewest);
    state_.selectedRow = 1;
    if (state_.resultCount < kShownResults)
        state_.resultCount += 1;

    ViewChanges changes;
    changes.resultLines = true;
    changes.resultsTable = ResultsTableView{1, true};
    changes.flowVolumePlot = true;
    changes.soundAlias = runOutcomeSoundAlias(record_.field(workingRow, RowField::runStatus));
    return changes;
}

ViewChanges Session::viewsWhileRunning() {
    ViewChanges changes;
    changes.resultsTable = ResultsTableView{0, false};
    changes.volumeTime = VolumeTimeView::emptyFrame;
    changes.noteBoxCleared = true;
    return changes;
}

ViewChanges Session::SelectResultRow(int r) {
    if (r < 1 || r > state_.resultCount)
        return {};
    state_.selectedRow = r;
    loadCurrentGlobalSettingsFromRow(state_, record_, r);
    loadCurrentPartSettings(r);
    ViewChanges changes;
    changes.controlsFromRow = r;
    changes.resultsTable = ResultsTableView{r, true};
    changes.flowVolumePlot = true;
    changes.volumeTime = VolumeTimeView::selectedCurve;
    return changes;
}

ViewChanges Session::DeleteSelectedRow() {
    if (state_.selectedRow == -1)
        return {};
    checkRow(state_.selectedRow);
    for (int i = state_.selectedRow; i <= 3; ++i)
        record_.copyRow(i + 1, i);
    for (int c = 0; c < kSettingColumns; ++c)
        record_.setPartSetting(4, kEditedPart, c, 100.0f);
    if (state_.resultCount > 0)
        state_.resultCount -= 1;
    // Rows beyond the results no longer count as results.
    for (int j = state_.resultCount + 1; j <= 4; ++j) {
        record_.clearFvVolume(j);
        record_.clearFvFlow(j);
    }

    ViewChanges changes;
    changes.resultLines = true;
    changes.flowVolumePlot = true;
    changes.noteBoxCleared = true;
    if (state_.resultCount >= 1) {
        state_.selectedRow = 1;
        loadCurrentPartSettings(1);
        changes.gridCursor = 1;
        changes.controlsFromRow = 1;
        changes.resultsTable = ResultsTableView{1, true};
        changes.volumeTime = VolumeTimeView::selectedCurve;
    } else {
        state_.selectedRow = -1;
        changes.resultsTable = ResultsTableView{0, false};
        changes.volumeTime = VolumeTimeView::emptyFrame;
    }
    return changes;
}

ViewChanges Session::UseSelectedAsReference() {
    const int s = state_.selectedRow;
    if (s == -1)
        return {};
    checkRow(s);
    // The patient belongs to the record, not to the row that stands as its reference.
    const SimulationRecord::StoredPatient patient = record_.storedPatient(referenceRow);
    makeRowReference(record_, s, state_.resultCount);
    record_.setStoredPatient(referenceRow, patient);
    loadCurrentPartSettings(s);

    ViewChanges changes = newReferenceViews(s);
    changes.volumeTime = VolumeTimeView::selectedCurve;
    return changes;
}

ViewChanges Session::RestoreStandardReference() {
    SimulationRecord standard;
    const FileResult read = readRecordFile(folder_.standardRecord(), standard);
    if (!read.ok)
        return fileError(read);
    expressResultsAbsolute(record_, state_.resultCount);
    standard.setStoredPatient(referenceRow, record_.storedPatient(referenceRow));
    record_.setRowBytes(referenceRow, standard.rowBytes(referenceRow));

    const int shown = std::max(state_.selectedRow, 0);
    loadCurrentPartSettings(shown);
    ViewChanges changes = newReferenceViews(shown); // the volume-time plot keeps its picture
    changes.dataSourceLabel = "Plik:  Standard";
    return changes;
}

ViewChanges Session::UseReferenceFrom(const std::filesystem::path& path) {
    SimulationRecord loaded;
    const FileResult read = readRecordFile(path, loaded);
    if (!read.ok)
        return fileError(read);
    loaded.setStoredPatient(referenceRow, record_.storedPatient(referenceRow));
    record_.setRowBytes(referenceRow, loaded.rowBytes(referenceRow));
    return {};
}

std::filesystem::path Session::simulationsFolder() const {
    return folder_.writablePath("simulations");
}

ViewChanges Session::OpenSimulationFile(const std::filesystem::path& path) {
    ViewChanges changes;
    changes.noteBoxCleared = true;
    if (path.empty())
        return changes;
    if (const FileResult read = readRecordFile(path, record_); !read.ok)
        return fileError(read);
    changes.dataSourceLabel = dataSourceLabel(path);
    // A file's results are read for the patient it stores, and a file without one for the
    // default patient: a patient of an earlier file never passes into another's results.
    patient_ = patientOf(record_.storedPatient(referenceRow));

    // A row counts by the start of its flow-volume curve, so an empty row below the highest such
    // row is shown as a result all the same.
    state_.selectedRow = -1;
    state_.resultCount = 0;
    for (int i = 1; i <= 4; ++i) {
        if (record_.fvVolume(i, 1) != 0.0f) {
            state_.resultCount = i;
            state_.selectedRow = 1;
        }
    }
    state_.resultCount = std::min(state_.resultCount, kShownResults);

    const bool selected = state_.selectedRow == 1;
    if (selected)
        changes.gridCursor = 1;
    changes.flowVolumePlot = true;
    changes.volumeTime = selected ? VolumeTimeView::selectedCurve : VolumeTimeView::emptyFrame;
    changes.resultLines = true;
    changes.referenceLine = true;
    changes.resultsTable = selected ? ResultsTableView{1, true} : ResultsTableView{0, false};
    const int shown = selected ? 1 : referenceRow;
    // Row 1's global items become current here, not only through the grid's cursor: a cursor
    // already on row 1 selects nothing, and START would run on the global items of before while
    // the track bars show row 1's.
    if (selected)
        loadCurrentGlobalSettingsFromRow(state_, record_, 1);
    loadCurrentPartSettings(shown);
    changes.controlsFromRow = shown;
    return changes;
}

ViewChanges Session::SaveSimulationFile() {
    const std::filesystem::path path = simulationsFolder() / currentFileName_;
    storePatient();
    if (const FileResult written = writeRecordFile(path, record_); !written.ok)
        return fileError(written);
    ViewChanges changes;
    changes.message = "File saved in" + path.string();
    changes.dataSourceLabel = dataSourceLabel(currentFileName_);
    return changes;
}

ViewChanges Session::SaveSimulationFileAs(const std::filesystem::path& path) {
    if (path.empty() || isRefusedSimulationFileName(path))
        return {};
    currentFileName_ = path.filename().string();
    storePatient();
    if (const FileResult written = writeRecordFile(path, record_); !written.ok)
        return fileError(written);
    ViewChanges changes;
    changes.dataSourceLabel = dataSourceLabel(path);
    return changes;
}

ViewChanges Session::WriteRecordTo(const std::filesystem::path& path) {
    storePatient();
    if (const FileResult written = writeRecordFile(path, record_); !written.ok)
        return fileError(written);
    return {};
}

void Session::WriteRecordToStream(std::ostream& out) {
    storePatient();
    const auto bytes = record_.bytes();
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

} // namespace vm::session
