// The engine's calls for Python: each runs with the interpreter lock released and hands back
// plain values; the package's Python code makes them into tables and exceptions.
#include "ClipOutcome.h"
#include "ClipSearch.h"
#include "ColumnTable.h"
#include "EventsMode.h"
#include "Limits.h"
#include "MetadataExtractor.h"
#include "MovieDuration.h"
#include "TelemetryRecord.h"
#include "Trips.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <filesystem>
#include <optional>
#include <span>

namespace py = pybind11;

namespace {

constexpr const char* kModuleDoc = "The Veldrin extraction engine (use the veldrin package).";
constexpr char kListingSeparator = '\t';

// ok, the CSV as the command line prints it (with its final line feed; empty without
// telemetry), its rows, the no-metadata notice as printed (empty with telemetry), the report,
// the failure message and the movie duration.
using Extraction = py::tuple;

struct Extracted {
    MetadataExtractor::Output output = MetadataExtractor::Output::failure({});
    std::string csv;
    std::size_t rows = 0;
    std::optional<double> duration;
};

// Runs without the interpreter lock: all but the conversion to Python objects.
void finish(Extracted& extracted, std::optional<double> duration) {
    extracted.duration = duration;
    if (!extractcli::carriesCsv(extracted.output))
        return;
    const std::string& text = extracted.output.text();
    extracted.csv.reserve(text.size() + 1);
    extracted.csv.append(text).append(extractcli::lineEnd(text));
    extracted.rows = extractcli::csvRowCount(extracted.output.text());
}

Extraction toPython(const Extracted& extracted) {
    const MetadataExtractor::Output& output = extracted.output;
    std::string notice;
    if (output.isSuccess() && extracted.csv.empty())
        notice.append(output.text()).append(extractcli::lineEnd(output.text()));
    return py::make_tuple(output.isSuccess(), extracted.csv, extracted.rows, notice,
                          output.report(), output.message(), extracted.duration);
}

Extraction extractPath(const std::string& path) {
    Extracted extracted;
    {
        py::gil_scoped_release release;
        extracted.output = MetadataExtractor::extract(path);
        finish(extracted, MetadataExtractor::movieDuration(path));
    }
    return toPython(extracted);
}

// Any object with the buffer protocol, as one contiguous run of bytes.
Extraction extractBuffer(const py::object& source) {
    Py_buffer view;
    if (PyObject_GetBuffer(source.ptr(), &view, PyBUF_SIMPLE) != 0)
        throw py::error_already_set();
    Extracted extracted;
    {
        py::gil_scoped_release release;
        const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(view.buf),
                                                  static_cast<std::size_t>(view.len));
        extracted.output = MetadataExtractor::extractFromBuffer(bytes);
        finish(extracted, MetadataExtractor::movieDurationInMemory(bytes));
    }
    PyBuffer_Release(&view);
    return toPython(extracted);
}

template <typename T> py::array_t<T> toArray(const std::vector<T>& values) {
    py::array_t<T> array(static_cast<py::ssize_t>(values.size()));
    std::copy(values.begin(), values.end(), array.mutable_data());
    return array;
}

// (name, kind, values, missing): kind "uint64", "float64", "bool" or "str"; text values are a
// list with None where missing.
py::list readColumns(const std::string& csv) {
    std::vector<pytables::Column> columns;
    {
        py::gil_scoped_release release;
        columns = pytables::readColumns(csv);
    }
    py::list result;
    for (const pytables::Column& column : columns) {
        const std::string name(column.name);
        switch (column.type) {
        case pytables::ColumnType::Unsigned:
            result.append(py::make_tuple(name, "uint64", toArray(column.unsignedValues),
                                         toArray(column.missing).attr("astype")("bool")));
            break;
        case pytables::ColumnType::Number:
            result.append(py::make_tuple(name, "float64", toArray(column.numbers), py::none()));
            break;
        case pytables::ColumnType::Flag:
            result.append(py::make_tuple(name, "bool", toArray(column.flags).attr("astype")("bool"),
                                         toArray(column.missing).attr("astype")("bool")));
            break;
        case pytables::ColumnType::Text: {
            py::list texts;
            for (std::size_t i = 0; i < column.texts.size(); ++i)
                texts.append(column.missing[i] ? py::object(py::none())
                                               : py::object(py::str(std::string(column.texts[i]))));
            result.append(py::make_tuple(name, "str", texts, py::none()));
        }
        }
    }
    return result;
}

std::string eventLines(const std::string& csv, std::optional<double> duration) {
    py::gil_scoped_release release;
    return extractcli::eventLines(csv, duration);
}

std::optional<double> movieDuration(const std::string& path) {
    py::gil_scoped_release release;
    return MetadataExtractor::movieDuration(path);
}

// (path, problem, is_clip) as folder mode finds them; paths as bytes, since file names need
// not be UTF-8.
py::list findClips(const std::vector<std::string>& paths) {
    std::vector<extractcli::FoundPath> found;
    {
        py::gil_scoped_release release;
        found = extractcli::findClips(paths);
    }
    py::list result;
    for (const extractcli::FoundPath& path : found)
        result.append(py::make_tuple(py::bytes(path.path), path.problem, path.isClip));
    return result;
}

using ClipFact = std::tuple<std::string, std::optional<double>, std::size_t>;

// Clips (path, movie duration, rows) grouped into trips: per trip its first folder and the
// fields of its --trips line, all bytes (a clip's own name stands for an odd trip's start).
py::list tripRows(const std::vector<ClipFact>& clips) {
    std::vector<trips::ClipFacts> facts;
    for (const auto& [path, duration, rows] : clips) {
        const std::filesystem::path location(path);
        facts.push_back(
            {location.parent_path().string(), location.filename().string(), duration, rows});
    }
    py::list result;
    for (trips::Trip& trip : trips::groupTrips(std::move(facts))) {
        const std::string folder = trip.moments.front().folder;
        std::string line = trips::tripListing({std::move(trip)});
        if (line.ends_with('\n'))
            line.pop_back();
        py::list fields;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find(kListingSeparator, start)) != line.npos;
             start = tab + 1)
            fields.append(py::bytes(line.substr(start, tab - start)));
        fields.append(py::bytes(line.substr(start)));
        result.append(py::make_tuple(py::bytes(folder), fields));
    }
    return result;
}

} // namespace

PYBIND11_MODULE(_engine, m) {
    m.doc() = kModuleDoc;
    m.attr("VERSION") = VELDRIN_VERSION;
    m.attr("NO_SUCH_FILE") = std::string(extractcli::kNoSuchFile);
    m.attr("IS_A_FOLDER") = std::string(extractcli::kIsAFolder);
    m.attr("MAX_FILE_BYTES") = MetadataExtractor::kMaxFileBytes;
    py::list columns;
    for (std::string_view name : MetadataExtractor::csvColumns())
        columns.append(std::string(name));
    m.attr("COLUMNS") = columns;
    m.def("extract_path", &extractPath, py::arg("path"));
    m.def("extract_buffer", &extractBuffer, py::arg("source"));
    m.def("read_columns", &readColumns, py::arg("csv"));
    m.def("event_lines", &eventLines, py::arg("csv"), py::arg("duration"));
    m.def("movie_duration", &movieDuration, py::arg("path"));
    m.def("find_clips", &findClips, py::arg("paths"));
    m.def("trip_rows", &tripRows, py::arg("clips"));
}
