// velta_morvane._core: the session's typed runs, results and sweeps for the package's Python
// layer (velta_morvane/__init__.py), which gives them their defaults and docstrings. A call's
// arguments become a run or sweep request, its results come back as Python objects made from the
// typed results: the runner's names, values and words, with no command line or text between.

#include "python/record_rows.h"
#include "record/vocabulary.h"
#include "session/batch_csv.h"
#include "session/batch_result.h"
#include "session/run_request.h"
#include "session/session.h"
#include "session/sweep.h"

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <atomic>
#include <memory>

namespace py = pybind11;
using namespace vm;
using namespace vm::session;

namespace {

// A message as the exception's: a path in it that is no UTF-8 comes back to Python as
// os.fsdecode gives it.
[[noreturn]] void raise(PyObject* type, const std::string& message) {
    const py::object text = py::reinterpret_steal<py::object>(PyUnicode_DecodeUTF8(
        message.data(), static_cast<Py_ssize_t>(message.size()), "surrogateescape"));
    if (!text)
        throw py::error_already_set();
    PyErr_SetObject(type, text.ptr());
    throw py::error_already_set();
}

[[noreturn]] void raiseValueError(const std::string& message) {
    raise(PyExc_ValueError, message);
}

// A file that cannot be read or written.
[[noreturn]] void raiseOSError(const std::string& message) {
    raise(PyExc_OSError, message);
}

// A path as os.fsencode gives it. One that the system would cut at a NUL byte names another
// file: refused as Python's own open() refuses it.
std::filesystem::path pathOf(const py::bytes& bytes) {
    const std::string text = bytes;
    if (text.find('\0') != std::string::npos)
        raiseValueError("embedded null byte");
    return std::filesystem::path(text);
}

std::optional<std::filesystem::path> optionalPath(const py::object& bytes) {
    if (bytes.is_none())
        return std::nullopt;
    return pathOf(bytes.cast<py::bytes>());
}

// A percentage: a number, or a text a run's setting reads.
double percentOf(const std::string& name, const py::handle& value) {
    if (py::isinstance<py::bool_>(value))
        raiseValueError("a setting is a percentage, not " + py::repr(value).cast<std::string>());
    double percent = 0.0;
    const std::string problem =
        py::isinstance<py::str>(value)
            ? readPercent(value.cast<std::string>(), percent)
            : percentProblem(percent = py::float_(py::reinterpret_borrow<py::object>(value)));
    if (!problem.empty())
        raiseValueError(name + ": " + problem);
    return percent;
}

// A mapping, or pairs, of the runner's names to percents.
std::vector<SettingValue> settingsOf(const py::object& settings) {
    std::vector<SettingValue> out;
    if (settings.is_none())
        return out;
    const py::object pairs =
        py::hasattr(settings, "items") ? settings.attr("items")() : py::object(settings);
    for (const py::handle pair : pairs) {
        const auto [name, value] = pair.cast<std::pair<py::object, py::object>>();
        SettingValue setting;
        const std::string text = py::str(name);
        if (const std::string problem = readSettingName(text, setting.setting); !problem.empty())
            raiseValueError(problem);
        setting.percent = percentOf(text, value);
        out.push_back(std::move(setting));
    }
    return out;
}

// "female,40,165" or ("female", 40, 165).
std::optional<Patient> patientOf(const py::object& given) {
    if (given.is_none())
        return std::nullopt;
    std::optional<Patient> patient;
    if (py::isinstance<py::str>(given)) {
        patient = parsePatient(given.cast<std::string>());
    } else {
        const auto [sex, age, height] = given.cast<std::tuple<std::string, double, double>>();
        if (sex == "female" || sex == "male")
            patient = Patient{sex == "male" ? Sex::male : Sex::female, age, height};
    }
    if (!patient)
        raiseValueError("patient needs SEX,AGE,HEIGHT (female or male, years, cm) such as "
                        "female,40,165, got " +
                        py::repr(given).cast<std::string>());
    if (const std::string problem = patientProblem(*patient); !problem.empty())
        raiseValueError("patient: " + problem);
    return patient;
}

RunRequest requestOf(const py::object& settings, const py::object& reference,
                     const py::object& fromFile, const py::object& patient) {
    RunRequest request;
    request.settings = settingsOf(settings);
    request.reference = optionalPath(reference);
    request.fromFile = optionalPath(fromFile);
    request.patient = patientOf(patient);
    // A file's results are relative to its own reference; another one would change their meaning.
    if (request.reference && request.fromFile)
        raiseValueError("reference and from_file cannot be given together");
    return request;
}

ProgramFolder programFolder(const py::bytes& folder) {
    return ProgramFolder{pathOf(folder)};
}

// The rows of a session's record: the results of runs, or a simulation file opened.
class Record {
  public:
    Record(std::unique_ptr<Session> session, bool withPatient)
        : session_(std::move(session)), withPatient_(withPatient) {}

    int resultCount() const { return session_->state().resultCount; }
    py::dict row(int row, bool lobeTraces) const {
        return python::resultFields(
            resultOf(*session_, row, {.reading = withPatient_, .lobeTraces = lobeTraces}));
    }
    void save(const py::bytes& path) const {
        const std::filesystem::path target = pathOf(path);
        ViewChanges written;
        {
            const py::gil_scoped_release release;
            written = session_->WriteRecordTo(target);
        }
        if (written.message)
            raiseOSError("cannot write the record: " + *written.message);
    }

  private:
    std::unique_ptr<Session> session_;
    bool withPatient_;
};

Record run(const py::bytes& folder, const py::object& settings, int runs,
           const py::object& reference, const py::object& fromFile, const py::object& patient) {
    RunRequest request = requestOf(settings, reference, fromFile, patient);
    if (runs < 1 || runs > kMaxRunsInARow)
        raiseValueError("runs needs a whole number 1.." + std::to_string(kMaxRunsInARow) +
                        ", got '" + std::to_string(runs) + "'");
    request.runs = runs;
    auto session = std::make_unique<Session>(programFolder(folder));
    std::string problem;
    bool interrupted = false;
    {
        const py::gil_scoped_release release;
        problem = PrepareRun(*session, request);
        for (int run = 1; problem.empty() && run <= request.runs; ++run) {
            // Ctrl+C between two runs stops the rest, as it stops a sweep.
            if (run > 1) {
                const py::gil_scoped_acquire acquire;
                if (PyErr_CheckSignals() != 0) {
                    interrupted = true;
                    break;
                }
            }
            session->StartSimulation({});
        }
    }
    if (interrupted)
        throw py::error_already_set();
    if (!problem.empty())
        raiseOSError(problem);
    const bool withPatient = session->hasPatient();
    return Record(std::move(session), withPatient);
}

Record openFile(const py::bytes& folder, const py::bytes& path, const py::object& patient) {
    const std::filesystem::path file = pathOf(path);
    const std::optional<Patient> given = patientOf(patient);
    auto session = std::make_unique<Session>(programFolder(folder));
    if (const ViewChanges opened = session->OpenSimulationFile(file); opened.message)
        raiseOSError("cannot read the simulation file: " + *opened.message);
    if (given)
        session->SetPatient(*given);
    // A file's results are read for its patient, or for the default one, as the window reads them.
    return Record(std::move(session), true);
}

Record standardRecord(const py::bytes& folder, const py::object& patient) {
    const std::optional<Patient> given = patientOf(patient);
    auto session = std::make_unique<Session>(programFolder(folder));
    if (const ViewChanges read = session->LoadStandardRecord(); read.message)
        raiseOSError("cannot read the standard record " +
                     session->folder().standardRecord().string() + ": " + *read.message);
    if (given)
        session->SetPatient(*given);
    return Record(std::move(session), given.has_value());
}

SweepRequest sweepRequestOf(const std::vector<std::string>& axes, const py::object& settings,
                            const py::object& reference, const py::object& fromFile,
                            const py::object& patient) {
    SweepRequest request;
    request.start = requestOf(settings, reference, fromFile, patient);
    for (const std::string& axis : axes)
        if (const std::string problem = addSweepAxis(axis, request.axes); !problem.empty())
            raiseValueError(problem);
    if (const std::string problem = sweepGridProblem(request.axes); !problem.empty())
        raiseValueError(problem);
    return request;
}

std::size_t gridPoints(const std::vector<std::string>& axes, const py::object& settings,
                       const py::object& patient) {
    return sweepPointCount(sweepRequestOf(axes, settings, py::none(), py::none(), patient).axes);
}

// One dict per point in the grid's order, with the columns of the sweep's CSV.
py::list sweep(const py::bytes& folder, const std::vector<std::string>& axes,
               const py::object& jobs, const py::object& settings, const py::object& reference,
               const py::object& fromFile, const py::object& patient, const py::object& shard) {
    SweepRequest request = sweepRequestOf(axes, settings, reference, fromFile, patient);
    if (!jobs.is_none()) {
        request.jobs = jobs.cast<int>();
        if (request.jobs < 1 || request.jobs > kMaxJobs)
            raiseValueError("jobs needs a whole number 1.." + std::to_string(kMaxJobs) + ", got '" +
                            std::to_string(request.jobs) + "'");
    }
    if (!shard.is_none()) {
        const auto [k, n] = shard.cast<std::pair<int, int>>();
        if (k < 1 || k > n || n > kMaxShards)
            raiseValueError("shard needs (K, N) with 1 <= K <= N <= " + std::to_string(kMaxShards) +
                            ", got " + py::repr(shard).cast<std::string>());
        request.shard = SweepShard{k, n};
    }
    const std::filesystem::path exeDir = pathOf(folder);
    std::atomic<bool> stop{false};
    bool interrupted = false;
    auto start = std::make_unique<SweepStart>();
    std::string problem;
    std::vector<BatchCells> rows;
    {
        const py::gil_scoped_release release;
        // Ctrl+C in the calling thread stops the sweep as in the runner.
        const auto checkSignals = [&](std::size_t, std::size_t) {
            const py::gil_scoped_acquire acquire;
            if (!interrupted && PyErr_CheckSignals() != 0) {
                interrupted = true;
                stop = true;
            }
        };
        // A sweep that cannot start says so before any point runs.
        problem = PrepareSweepStart(*start, request, exeDir);
        if (problem.empty())
            RunSweep(
                request, *start, exeDir,
                [&](const SweepRow& row) {
                    rows.push_back(sweepCells(row, start->withPatient()));
                    return true;
                },
                stop, checkSignals);
    }
    if (!problem.empty())
        raiseOSError(problem);
    if (interrupted)
        throw py::error_already_set();
    return python::sweepRows(sweepColumns(request.axes, start->withPatient()), rows);
}

} // namespace

PYBIND11_MODULE(_core, m) {
    m.doc() = "The session library under velta_morvane; use the package, not this module.";
    py::class_<Record>(m, "Record")
        .def_property_readonly("result_count", &Record::resultCount)
        .def("row", &Record::row, py::arg("row"), py::arg("lobe_traces") = false)
        .def("save", &Record::save, py::arg("path"));
    m.def("run", &run, py::arg("folder"), py::arg("settings"), py::arg("runs"),
          py::arg("reference"), py::arg("from_file"), py::arg("patient"));
    m.def("open", &openFile, py::arg("folder"), py::arg("path"), py::arg("patient"));
    m.def("standard", &standardRecord, py::arg("folder"), py::arg("patient"));
    m.def("grid_points", &gridPoints, py::arg("axes"), py::arg("settings"), py::arg("patient"));
    m.def("sweep", &sweep, py::arg("folder"), py::arg("axes"), py::arg("jobs"), py::arg("settings"),
          py::arg("reference"), py::arg("from_file"), py::arg("patient"), py::arg("shard"));
    py::list stored;
    for (const record::SpirometricIndex& index : record::kIndices)
        if (index.source == record::IndexSource::stored)
            stored.append(std::string(index.jsonKey));
    m.attr("stored_indices") = py::tuple(stored);
}
