// velta_morvane._core: the runner's runs, files and sweeps on the session library, for the
// package's Python layer (velta_morvane/__init__.py), which gives them their defaults and
// docstrings. Arguments are the runner's own, so that names, values and messages are its own.

#include "cli/cli_options.h"
#include "cli/run_start.h"
#include "cli/sweep.h"
#include "python/record_rows.h"
#include "python/sweep_rows.h"
#include "record/vocabulary.h"
#include "session/session.h"

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <atomic>
#include <memory>
#include <sstream>
#include <variant>

namespace py = pybind11;
using namespace vm;

namespace {

// The runner's message as the exception's: a path in it that is no UTF-8 comes back to Python
// as os.fsdecode gives it.
[[noreturn]] void raise(PyObject* type, const std::string& message) {
    const py::object text = py::reinterpret_steal<py::object>(PyUnicode_DecodeUTF8(
        message.data(), static_cast<Py_ssize_t>(message.size()), "surrogateescape"));
    if (!text)
        throw py::error_already_set();
    PyErr_SetObject(type, text.ptr());
    throw py::error_already_set();
}

// A file that cannot be read or written: OSError carrying the runner's message.
[[noreturn]] void raiseOSError(const std::string& message) {
    raise(PyExc_OSError, message);
}

// A path that the system would cut at a NUL byte names another file: refused as Python's own
// open() refuses it.
void refuseEmbeddedNul(const std::string& text) {
    if (text.find('\0') != std::string::npos)
        raise(PyExc_ValueError, "embedded null byte");
}

// The runner's command line; what it refuses is a ValueError with the runner's message.
cli::CliOptions parsedCommand(const std::vector<std::string>& args) {
    for (const std::string& arg : args)
        refuseEmbeddedNul(arg);
    const cli::CliParseResult parsed = cli::parseCommandLine(args);
    if (!parsed.ok)
        raise(PyExc_ValueError, parsed.message);
    return parsed.options;
}

session::ProgramFolder programFolder(const std::string& folder) {
    refuseEmbeddedNul(folder);
    return session::ProgramFolder{std::filesystem::path(folder)};
}

// The rows of a session's record: the results of runs, or a simulation file opened.
class Record {
  public:
    Record(std::unique_ptr<session::Session> session, bool withPatient)
        : session_(std::move(session)), withPatient_(withPatient) {}

    int resultCount() const { return session_->state().resultCount; }
    py::dict row(int row, bool lobeTraces) const {
        return python::rowFields(*session_, row, withPatient_, lobeTraces);
    }
    void save(const std::string& path) const {
        refuseEmbeddedNul(path);
        session::ViewChanges written;
        {
            const py::gil_scoped_release release;
            written = session_->WriteRecordTo(path);
        }
        if (written.message)
            raiseOSError("cannot write the record: " + *written.message);
    }

  private:
    std::unique_ptr<session::Session> session_;
    bool withPatient_;
};

// args: the runner's run options ("--set", "cm=120", "--runs", "2", ...).
Record run(const std::string& folder, std::vector<std::string> args) {
    args.insert(args.begin(), "run");
    const cli::CliOptions options = parsedCommand(args);
    auto session = std::make_unique<session::Session>(programFolder(folder));
    std::string problem;
    bool interrupted = false;
    {
        const py::gil_scoped_release release;
        problem = cli::PrepareRunStart(*session, options);
        for (int run = 1; problem.empty() && run <= options.runs; ++run) {
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

// args: the file, then show's options (--patient).
Record openFile(const std::string& folder, std::vector<std::string> args) {
    args.insert(args.begin(), "show");
    const cli::CliOptions options = parsedCommand(args);
    auto session = std::make_unique<session::Session>(programFolder(folder));
    if (const session::ViewChanges opened = session->OpenSimulationFile(options.showFile);
        opened.message)
        raiseOSError("cannot read the simulation file: " + *opened.message);
    if (options.patient)
        session->SetPatient(*options.patient);
    // A file's results are read for its patient, or for the default one, as the window reads them.
    return Record(std::move(session), true);
}

// args: run's options, of which only --patient counts here.
Record standardRecord(const std::string& folder, std::vector<std::string> args) {
    args.insert(args.begin(), "run");
    const cli::CliOptions options = parsedCommand(args);
    auto session = std::make_unique<session::Session>(programFolder(folder));
    if (const session::ViewChanges read = session->LoadStandardRecord(); read.message)
        raiseOSError("cannot read the standard record " +
                     session->folder().standardRecord().string() + ": " + *read.message);
    if (options.patient)
        session->SetPatient(*options.patient);
    return Record(std::move(session), options.patient.has_value());
}

std::size_t gridPoints(std::vector<std::string> args) {
    args.insert(args.begin(), "sweep");
    return cli::sweepPointCount(parsedCommand(args).sweepAxes);
}

// args: the runner's sweep options ("--sweep", "cm=50,100", "--jobs", "2", "--shard", "1/3"...).
// One dict per point in the grid's order, with the columns of the sweep's CSV.
py::list sweep(const std::string& folder, std::vector<std::string> args) {
    args.insert(args.begin(), "sweep");
    cli::CliOptions options = parsedCommand(args);
    options.json = false;
    const std::filesystem::path exeDir(folder);
    std::ostringstream csv;
    cli::SweepOutcome outcome;
    std::atomic<bool> stop{false};
    bool interrupted = false;
    auto start = std::make_unique<cli::SweepStart>();
    std::string problem;
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
        problem = cli::PrepareSweepStart(*start, options, exeDir);
        if (problem.empty())
            outcome = cli::RunSweep(options, *start, exeDir, csv, stop, checkSignals);
    }
    if (!problem.empty())
        raiseOSError(problem);
    if (interrupted)
        throw py::error_already_set();

    python::SweepTable table;
    if (const std::string problem = python::readSweepTable(csv.str(), table); !problem.empty())
        throw std::runtime_error(problem);
    std::vector<py::str> keys(table.columns.begin(), table.columns.end());
    py::list out;
    for (const std::vector<python::SweepCell>& cells : table.rows) {
        py::dict line;
        for (std::size_t c = 0; c < cells.size(); ++c)
            std::visit([&](const auto& value) { line[keys[c]] = value; }, cells[c]);
        out.append(std::move(line));
    }
    return out;
}

} // namespace

PYBIND11_MODULE(_core, m) {
    m.doc() = "The session library under velta_morvane; use the package, not this module.";
    py::class_<Record>(m, "Record")
        .def_property_readonly("result_count", &Record::resultCount)
        .def("row", &Record::row, py::arg("row"), py::arg("lobe_traces") = false)
        .def("save", &Record::save, py::arg("path"));
    m.def("run", &run, py::arg("folder"), py::arg("args"));
    m.def("open", &openFile, py::arg("folder"), py::arg("args"));
    m.def("standard", &standardRecord, py::arg("folder"), py::arg("args"));
    m.def("grid_points", &gridPoints, py::arg("args"));
    py::list stored;
    for (const record::RowIndex& index : record::kRowIndices)
        stored.append(std::string(index.jsonKey));
    m.attr("stored_indices") = py::tuple(stored);
    m.def("sweep", &sweep, py::arg("folder"), py::arg("args"));
}
