// Layouts: XML indented by two spaces, one element per line (GDAL reads an extension written
// this way as text; on one line it takes it for a number); GeoJSON one feature per line; JSON Lines
// without spaces. Numbers in the shortest fixed notation, times in UTC with milliseconds.
#include "Writers.h"

#include "ExportText.h"
#include "RoutePoints.h"

#include <cmath>

namespace exports {
namespace {

constexpr std::string_view kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
constexpr std::string_view kGpxRootStart =
    "<gpx version=\"1.1\" creator=\"Veldrin Studio " VELDRIN_VERSION "\"\n"
    "  xmlns=\"http://www.topografix.com/GPX/1/1\"\n"
    "  xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\"\n"
    "  xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
    "  xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
    "http://www.topografix.com/GPX/1/1/gpx.xsd "
    "http://www.garmin.com/xmlschemas/TrackPointExtension/v2 "
    "https://www8.garmin.com/xmlschemas/TrackPointExtensionv2.xsd\">\n";
constexpr std::string_view kKmlRootStart = "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n";
// Text is handed on in pieces of about this size: a long drive's file never sits in memory
// whole, and the piece stays in cache rather than faulting in fresh pages all along.
constexpr std::size_t kPieceBytes = 64 * 1024;
// What one point or row may add past a full piece, give or take: reserved once.
constexpr std::size_t kPieceSlack = 4 * 1024;

// How JSON Lines writes a field's cell.
enum class CellKind { Number, Text, Flag };
constexpr CellKind cellKind(MetadataExtractor::FieldKind kind) {
    using MetadataExtractor::FieldKind;
    return kind == FieldKind::Flag                                    ? CellKind::Flag
           : kind == FieldKind::Gear || kind == FieldKind::Assistance ? CellKind::Text
                                                                      : CellKind::Number;
}
constexpr std::string_view kTrueCell = "True";
constexpr std::array<std::string_view, 3> kNonFiniteCells = {"nan", "inf", "-inf"};

// Gathers text and hands it to the sink whenever a piece is full.
class PieceWriter {
public:
    explicit PieceWriter(const TextSink& sink) : sink_(sink) {
        text_.reserve(kPieceBytes + kPieceSlack);
    }
    PieceWriter(const PieceWriter&) = delete;
    PieceWriter& operator=(const PieceWriter&) = delete;
    ~PieceWriter() { handOn(); }

    std::string& text() { return text_; }
    void handOnIfFull() {
        if (text_.size() >= kPieceBytes)
            handOn();
    }

private:
    void handOn() {
        if (!text_.empty())
            sink_(text_);
        text_.clear();
    }

    const TextSink& sink_;
    std::string text_;
};

bool hasTimes(const Telemetry& telemetry) {
    return telemetry.startSeconds && !telemetry.rowTimes.empty();
}

void appendLatLon(std::string& out, const RoutePoint& point) {
    out += "lat=\"";
    appendNumber(out, point.latitude);
    out += "\" lon=\"";
    appendNumber(out, point.longitude);
    out += '"';
}

// "lon,lat" for KML, "[lon,lat]" for GeoJSON: longitude first in both.
void appendLonLat(std::string& out, const RoutePoint& point) {
    appendNumber(out, point.longitude);
    out += ',';
    appendNumber(out, point.latitude);
}

void appendPosition(std::string& out, const RoutePoint& point) {
    out += '[';
    appendLonLat(out, point);
    out += ']';
}

void appendGpxWaypoint(std::string& out, const Telemetry& telemetry, const Route& route,
                       const EventMark& mark) {
    out += "  <wpt ";
    appendLatLon(out, route.points[mark.point]);
    out += ">\n";
    if (telemetry.startSeconds) {
        out += "    <time>";
        appendUtcTime(out, *telemetry.startSeconds, mark.event->time);
        out += "</time>\n";
    }
    out += "    <name>";
    appendXmlEscaped(out, eventLabel(*mark.event));
    out += "</name>\n    <type>";
    out += analysis::eventKindName(mark.event->kind);
    out += "</type>\n  </wpt>\n";
}

void appendGpxTrackPoint(std::string& out, const Telemetry& telemetry, const RoutePoint& point) {
    out += "      <trkpt ";
    appendLatLon(out, point);
    out += ">\n";
    if (hasTimes(telemetry) && point.row < telemetry.rowTimes.size()) {
        out += "        <time>";
        appendUtcTime(out, *telemetry.startSeconds, telemetry.rowTimes[point.row]);
        out += "</time>\n";
    }
    const bool speed = !std::isnan(point.speed), course = !std::isnan(point.course);
    if (speed || course) {
        out += "        <extensions>\n          <gpxtpx:TrackPointExtension>\n";
        if (speed) {
            out += "            <gpxtpx:speed>";
            appendNumber(out, point.speed);
            out += "</gpxtpx:speed>\n";
        }
        if (course) {
            out += "            <gpxtpx:course>";
            appendNumber(out, point.course);
            out += "</gpxtpx:course>\n";
        }
        out += "          </gpxtpx:TrackPointExtension>\n        </extensions>\n";
    }
    out += "      </trkpt>\n";
}

// The route's properties, then an event's: shared by both kinds of GeoJSON feature.
void appendFeatureStart(std::string& out, bool line) {
    out += "{\"type\":\"Feature\",\"geometry\":{\"type\":";
    out += line ? "\"LineString\",\"coordinates\":[" : "\"Point\",\"coordinates\":";
}

void appendRouteFeature(PieceWriter& writer, const Telemetry& telemetry, const Route& route) {
    std::string& out = writer.text();
    const bool line = route.points.size() > 1;
    appendFeatureStart(out, line);
    for (std::size_t i = 0; i < route.points.size(); ++i) {
        if (i > 0)
            out += ',';
        appendPosition(out, route.points[i]);
        writer.handOnIfFull();
    }
    out += line ? "]},\"properties\":{\"name\":" : "},\"properties\":{\"name\":";
    appendJsonString(out, telemetry.name);
    out += ",\"start\":";
    if (telemetry.startSeconds) {
        out += '"';
        appendUtcTime(out, *telemetry.startSeconds);
        out += '"';
    } else {
        out += "null";
    }
    out += ",\"rows\":" + std::to_string(route.rows);
    out += ",\"points\":" + std::to_string(route.points.size()) + "}}";
}

void appendEventFeature(std::string& out, const Telemetry& telemetry, const Route& route,
                        const EventMark& mark) {
    const analysis::DrivingEvent& event = *mark.event;
    appendFeatureStart(out, false);
    appendPosition(out, route.points[mark.point]);
    out += "},\"properties\":{\"name\":";
    appendJsonString(out, eventLabel(event));
    out += ",\"kind\":";
    appendJsonString(out, analysis::eventKindName(event.kind));
    out += ",\"t\":";
    appendNumber(out, event.time);
    if (telemetry.startSeconds) {
        out += ",\"time\":\"";
        appendUtcTime(out, *telemetry.startSeconds, event.time);
        out += '"';
    }
    out += ",\"value\":";
    if (hasNumericValue(event))
        appendEventValue(out, event.value);
    else if (!event.state.empty())
        appendJsonString(out, event.state);
    else
        out += "null";
    out += "}}";
}

void appendKmlPlacemarkStart(std::string& out, std::string_view name) {
    out += "    <Placemark>\n      <name>";
    appendXmlEscaped(out, name);
    out += "</name>\n";
}

void appendKmlPoint(std::string& out, const RoutePoint& point) {
    out += "      <Point><coordinates>";
    appendLonLat(out, point);
    out += "</coordinates></Point>\n";
}

void appendJsonCell(std::string& out, std::string_view column, CellKind kind,
                    std::string_view cell) {
    out += '"';
    out += column;
    out += "\":";
    switch (kind) {
    case CellKind::Number:
        if (std::find(kNonFiniteCells.begin(), kNonFiniteCells.end(), cell) !=
            kNonFiniteCells.end())
            out += "null";
        else
            out += cell; // the CSV's own digits: 64-bit integers keep every one
        break;
    case CellKind::Text:
        appendJsonString(out, cell);
        break;
    case CellKind::Flag:
        out += cell == kTrueCell ? "true" : "false";
        break;
    }
}

} // namespace

void writeGpx(const Telemetry& telemetry, const TextSink& sink) {
    const Route route = routeOf(telemetry);
    PieceWriter writer(sink);
    std::string& out = writer.text();
    out += kXmlDeclaration;
    out += kGpxRootStart;
    for (const EventMark& mark : route.events) {
        appendGpxWaypoint(out, telemetry, route, mark);
        writer.handOnIfFull();
    }
    out += "  <trk>\n    <name>";
    appendXmlEscaped(out, telemetry.name);
    out += "</name>\n    <trkseg>\n";
    for (const RoutePoint& point : route.points) {
        appendGpxTrackPoint(out, telemetry, point);
        writer.handOnIfFull();
    }
    out += "    </trkseg>\n  </trk>\n</gpx>\n";
}

void writeGeoJson(const Telemetry& telemetry, const TextSink& sink) {
    const Route route = routeOf(telemetry);
    PieceWriter writer(sink);
    std::string& out = writer.text();
    out += "{\"type\":\"FeatureCollection\",\"features\":[";
    const char* separator = "\n";
    if (!route.points.empty()) {
        out += separator;
        appendRouteFeature(writer, telemetry, route);
        separator = ",\n";
    }
    for (const EventMark& mark : route.events) {
        out += separator;
        appendEventFeature(out, telemetry, route, mark);
        writer.handOnIfFull();
        separator = ",\n";
    }
    out += "\n]}\n";
}

void writeKml(const Telemetry& telemetry, const TextSink& sink) {
    const Route route = routeOf(telemetry);
    PieceWriter writer(sink);
    std::string& out = writer.text();
    out += kXmlDeclaration;
    out += kKmlRootStart;
    out += "  <Document>\n    <name>";
    appendXmlEscaped(out, telemetry.name);
    out += "</name>\n";
    if (route.points.size() == 1) {
        appendKmlPlacemarkStart(out, telemetry.name);
        appendKmlPoint(out, route.points.front());
        out += "    </Placemark>\n";
    } else if (!route.points.empty()) {
        appendKmlPlacemarkStart(out, telemetry.name);
        out += "      <LineString>\n        <tessellate>1</tessellate>\n        <coordinates>\n";
        for (const RoutePoint& point : route.points) {
            out += "          ";
            appendLonLat(out, point);
            out += '\n';
            writer.handOnIfFull();
        }
        out += "        </coordinates>\n      </LineString>\n    </Placemark>\n";
    }
    for (const EventMark& mark : route.events) {
        appendKmlPlacemarkStart(out, eventLabel(*mark.event));
        if (telemetry.startSeconds) {
            out += "      <TimeStamp><when>";
            appendUtcTime(out, *telemetry.startSeconds, mark.event->time);
            out += "</when></TimeStamp>\n";
        }
        appendKmlPoint(out, route.points[mark.point]);
        out += "    </Placemark>\n";
        writer.handOnIfFull();
    }
    out += "  </Document>\n</kml>\n";
}

void writeJsonLines(const Telemetry& telemetry, const TextSink& sink) {
    const auto& columns = MetadataExtractor::csvColumns();
    PieceWriter writer(sink);
    std::string& out = writer.text();
    std::size_t row = 0;
    forEachRow(telemetry.tables, [&](const RowCells& cells) {
        out += '{';
        bool first = true;
        if (row < telemetry.rowTimes.size()) {
            out += "\"t\":";
            appendNumber(out, telemetry.rowTimes[row]);
            first = false;
        }
        for (std::size_t field = 0; field < cells.size(); ++field) {
            if (cells[field].empty())
                continue;
            if (!first)
                out += ',';
            first = false;
            appendJsonCell(out, columns[field], cellKind(MetadataExtractor::fieldKinds()[field]),
                           cells[field]);
        }
        out += "}\n";
        writer.handOnIfFull();
        ++row;
    });
}

} // namespace exports
