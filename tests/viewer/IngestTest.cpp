// Table ingestion: line and cell splitting, blank lines, the no-metadata notice, messages.
#include "ContentView.h"
#include "MetadataExtractor.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace {

using Rows = QList<QStringList>;

Rows rowsOf(const ContentView& view) {
    Rows rows;
    for (qsizetype i = 0; i < view.telemetry()->csvRowCount(); ++i)
        rows.append(view.telemetry()->csvRow(i));
    return rows;
}

TEST(Ingest, SplitsLinesAndCells) {
    struct Case {
        const char* name;
        QString text;
        QStringList headers;
        Rows rows;
    };
    const Case cases[] = {
        {"blank line between rows", "a,b\n1,2\n\n3\n", {"a", "b"}, {{"1", "2"}, {"3"}}},
        {"every break kind",
         QString::fromUtf8("h\r1\v2\f3\u00854\u20285\u20296"),
         {"h"},
         {{"1"}, {"2"}, {"3"}, {"4"}, {"5"}, {"6"}}},
        {"space-only lines dropped",
         QString::fromUtf8("a\n1\n   \t \n\u00A0\u3000\u2009\n2"),
         {"a"},
         {{"1"}, {"2"}}},
        {"cells keep spaces", "a,b\n 1 , 2 ", {"a", "b"}, {{" 1 ", " 2 "}}},
        {"empty names kept", "a,,b,\n,", {"a", "", "b", ""}, {{"", ""}}},
        {"leading blank lines", "\n \n\ta,b\n1,2,3,4", {"\ta", "b"}, {{"1", "2", "3", "4"}}},
        {"header only", "a,b\n", {"a", "b"}, {}},
        {"quotes not special", "a\n\"x,y\"", {"a"}, {{"\"x", "y\""}}},
        {"notice prefix is case-sensitive",
         "no SEI metadata found\nx",
         {"no SEI metadata found"},
         {{"x"}}},
        // A comma carrying a combining mark is one character, not a separator.
        {"combining comma",
         QString::fromUtf8("a,b\n1,\u03012,3"),
         {"a", "b"},
         {{QString::fromUtf8("1,\u03012"), "3"}}},
    };
    ContentView view;
    for (const Case& c : cases) {
        view.telemetry()->show(
            ClipTelemetry::Clip::fromCsv(c.text)); // each call replaces the table wholesale
        EXPECT_EQ(view.telemetry()->csvHeaders(), c.headers) << c.name;
        EXPECT_EQ(rowsOf(view), c.rows) << c.name;
        EXPECT_EQ(view.telemetry()->extractorMessage(),
                  QStringLiteral("Rows: %1").arg(c.rows.size()));
    }
}

TEST(Ingest, OnlyBreaksAndSpacesLeaveTheEarlierTableUntouched) {
    for (const QString& text : {QString(), QStringLiteral("\n\n"), QStringLiteral(" \t\r\n ")}) {
        ContentView view;
        view.telemetry()->show(ClipTelemetry::Clip::fromCsv("latitude_deg,longitude_deg\n1,2\n"));
        QSignalSpy rowsChanged(view.telemetry(), &ClipTelemetry::csvRowsChanged);
        QSignalSpy routeChanged(view.telemetry(), &ClipTelemetry::routeCoordinatesChanged);
        view.telemetry()->show(ClipTelemetry::Clip::fromCsv(text));
        EXPECT_EQ(std::tuple(view.telemetry()->extractorMessage(), view.telemetry()->csvHeaders(),
                             view.telemetry()->csvRowCount(),
                             view.telemetry()->routeCoordinates().size(),
                             rowsChanged.count() + routeChanged.count()),
                  std::tuple("No metadata output", QStringList({"latitude_deg", "longitude_deg"}),
                             1, 1, 0));
    }
}

TEST(Ingest, NoticeEmptiesTableAndRouteTogether) {
    ContentView view;
    view.telemetry()->show(ClipTelemetry::Clip::fromCsv("latitude_deg,longitude_deg\n1,2\n3,4"));
    qsizetype routeSeenWithRows = -1;
    QObject::connect(view.telemetry(), &ClipTelemetry::csvRowsChanged,
                     [&] { routeSeenWithRows = view.telemetry()->routeCoordinates().size(); });
    view.telemetry()->show(ClipTelemetry::Clip::fromCsv("latitude_deg,longitude_deg\n5,6"));
    EXPECT_EQ(routeSeenWithRows, 1);
    // The engine's own notice, after blank lines.
    view.telemetry()->show(ClipTelemetry::Clip::fromCsv(
        "\n  \n" + QString::fromUtf8(MetadataExtractor::kNoMetadataNotice) +
        "\nlatitude_deg,longitude_deg\n3,4"));
    EXPECT_EQ(view.telemetry()->extractorMessage(),
              "No SEI metadata found. Orvik firmware 2025.44.25 or later and QB5 or above are "
              "required; parked clips may lack SEI data.");
    EXPECT_EQ(std::tuple(view.telemetry()->csvHeaders().size(), view.telemetry()->csvRowCount(),
                         routeSeenWithRows),
              std::tuple(0, 0, 0));
}

} // namespace
