// The readout: row picked by the clock, number and flag parsing, display texts, the overlay,
// the cards, the detail grid, and the readout object a view binds to.
#include "ContentView.h"
#include "Settings.h"
#include "TelemetryReadout.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <cmath>
#include <limits>

using namespace telemetry;

namespace {

// A one-row table from a header and a data line.
struct OneRow {
    MetadataTable table;
    OneRow(const QString& header, const QString& line) {
        // A blank line would be dropped: pad it with a column of its own.
        const bool blank = line.trimmed().isEmpty();
        const QString text = blank ? header + ",_pad\n" + line + ",x" : header + u'\n' + line;
        EXPECT_EQ(table.parse(text), MetadataTable::Outcome::table);
        EXPECT_EQ(table.rowCount(), 1);
    }
    Row row() const { return Row(table, 0); }
};

void setClock(ContentView& view, double duration, double time) {
    view.setPlaybackDuration(duration);
    view.setPlaybackTime(time);
}

TEST(RowIndex, SpreadsRowsEvenlyOverTheDuration) {
    struct Case {
        qsizetype rows;
        double duration, time;
        qsizetype expected;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {100, 10, 0, 0},     {100, 10, 4.99, 49}, {100, 10, 5.0, 50}, {100, 10, 10.0, 99},
        {100, 10, 25.0, 99}, {100, 10, -3, 0},    {100, 0, 7, 0},     {100, nan, 7, 0},
        {100, -1, 7, 0},     {0, 10, 5, 0},       {100, 10, nan, 0},  {1, 10, 9.99, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(currentRowIndex(c.rows, c.time, c.duration), c.expected)
            << c.rows << " rows, " << c.time << "/" << c.duration;
}

TEST(RowIndex, CurrentRowNeedsHeadersAndRows) {
    MetadataTable headerOnly;
    headerOnly.parse("a,b");
    EXPECT_FALSE(currentRow(headerOnly, 0, 0));
    EXPECT_FALSE(currentRow(MetadataTable(), 0, 0));
}

TEST(CurrentRow, LaterDuplicateWinsAndMissingCellsAreEmpty) {
    OneRow r("k,x,k,m", "1,2,3");
    EXPECT_EQ(r.row().value(u"k"), u"3");
    EXPECT_EQ(r.row().value(u"m"), u"");
    EXPECT_EQ(r.row().value(u"absent"), u"");
    const QHash<QString, QString> map = r.row().toHash();
    EXPECT_EQ(map.size(), 3);
    EXPECT_EQ(map.value("k"), "3");
    EXPECT_EQ(map.value("m"), "");
}

TEST(ParseNumber, WholeTextInCLocaleSyntax) {
    struct Case {
        QString text;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"10", 10.0},   {"-12.5", -12.5},
        {"+3", 3.0},    {"1e3", 1000.0},
        {"0x10", 16.0}, {".5", 0.5},
        {"", {}},       {" 12.5", {}},
        {"12.5 ", {}},  {"\t1", {}},
        {"12,5", {}},   {"1x", {}},
        {"abc", {}},    {QString::fromUtf8("\u00A01"), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseNumber(c.text), c.expected) << c.text.toStdString();
    EXPECT_TRUE(std::isinf(*parseNumber(u"-inf")));
    EXPECT_TRUE(std::isnan(*parseNumber(u"nan")));
}

TEST(IsTrue, AcceptsTrueOneYesTrimmedAnyCase) {
    for (const char* text : {"true", "TRUE", "True", "1", " yes ", "YES\n", "\ttrue\u2028"})
        EXPECT_TRUE(isTrue(QString::fromUtf8(text))) << text;
    for (const char* text : {"", "False", "0", "no", "2", "t", "y es"})
        EXPECT_FALSE(isTrue(QString::fromUtf8(text))) << text;
}

TEST(DisplayValue, PlaceholdersAndGearNames) {
    struct Case {
        const char* key;
        QString cell;
        QString expected;
    };
    const Case cases[] = {
        {"navark_state", "", "IDLE"},
        {"gear_state", "  ", QString::fromUtf8("\u2014")},
        {"blinker_on_left", "", "False"},
        {"blinker_on_right", "", "False"},
        {"brake_applied", "", "False"},
        {"heading_deg", "", QString::fromUtf8("\u2014")},
        {"gear_state", "GEAR_DRIVE", "DRIVE"},
        {"gear_state", "GEAR_PARK", "PARK"},
        {"gear_state", " GEAR_REVERSE ", "REVERSE"},
        {"gear_state", "GEAR_NEUTRAL", "NEUTRAL"},
        {"gear_state", "gear_drive", "gear_drive"},
        {"gear_state", "5", "5"},
        {"heading_deg", " 12.5 ", "12.5"},
    };
    for (const Case& c : cases) {
        OneRow r(QString::fromLatin1(c.key), c.cell);
        EXPECT_EQ(displayValue(QString::fromLatin1(c.key), r.row()), c.expected) << c.key;
    }
}

TEST(DetailLabel, CapitalisesWords) {
    EXPECT_EQ(detailLabel(u"vehicle_speed_mps"), "Vehicle Speed Mps");
    EXPECT_EQ(detailLabel(u"linear_acceleration_mps2_x"), "Linear Acceleration Mps2 X");
    EXPECT_EQ(detailLabel(u"aBC_dEF"), "Abc Def");
}

TEST(Overlay, SpeedInBothUnits) {
    OneRow r("vehicle_speed_mps", "10");
    const Overlay kmh = telemetryOverlay(r.row(), false);
    EXPECT_EQ(kmh.speedText, "36");
    EXPECT_EQ(kmh.speedUnit, "km/h");
    const Overlay mph = telemetryOverlay(r.row(), true);
    EXPECT_EQ(mph.speedText, "22");
    EXPECT_EQ(mph.speedUnit, "mph");
    EXPECT_EQ(metricCards(r.row(), false)[0].value, "36.0 km/h");
    EXPECT_EQ(metricCards(r.row(), true)[0].value, "22.4 mph");
}

TEST(Overlay, NumbersRoundLikePrintf) {
    // 1.25 m/s is exactly 4.5 km/h; exact halves round to even, as printf does.
    OneRow r("vehicle_speed_mps,steering_wheel_angle", "1.25,12.25");
    EXPECT_EQ(telemetryOverlay(r.row(), false).speedText, "4");
    EXPECT_EQ(metricCards(r.row(), false)[0].value, "4.5 km/h");
    EXPECT_EQ(metricCards(r.row(), false)[1].value, QString::fromUtf8("12.2°"));
}

TEST(Overlay, GearTexts) {
    struct Case {
        QString cell, badge, card, tooltip;
    };
    const Case cases[] = {
        {"GEAR_REVERSE", "R", "REVERSE", "Current gear: REVERSE"},
        {"GEAR_DRIVE", "D", "DRIVE", "Current gear: DRIVE"},
        {"5", "5", "5", "Current gear: 5"},
        {"", QString::fromUtf8("\u2014"), QString::fromUtf8("\u2014"),
         QString::fromUtf8("Current gear: \u2014")},
        // Replacements apply wherever the names occur.
        {"OVERDRIVE", "OVERD", "OVERDRIVE", "Current gear: OVERDRIVE"},
    };
    for (const Case& c : cases) {
        OneRow r("gear_state", c.cell);
        EXPECT_EQ(telemetryOverlay(r.row(), false).gearLetter, c.badge);
        EXPECT_EQ(metricCards(r.row(), false)[2].value, c.card);
        EXPECT_EQ(telemetryOverlay(r.row(), false).gearTooltip, c.tooltip);
    }
}

TEST(Overlay, AssistanceBadge) {
    struct Case {
        QString cell;
        bool shows;
        QString badge, card;
    };
    const Case cases[] = {{"", false, "IDLE", "IDLE"},
                          {"IDLE", false, "IDLE", "IDLE"},
                          {"FULL_GUIDE", true, "NVG", "FULL_GUIDE"},
                          {"LANE_GUIDE", true, "LANE_GUIDE", "LANE_GUIDE"}};
    for (const Case& c : cases) {
        OneRow r("navark_state", c.cell);
        const Overlay o = telemetryOverlay(r.row(), false);
        EXPECT_EQ(o.showsAssistBadge, c.shows) << c.cell.toStdString();
        EXPECT_EQ(o.assistBadgeText, c.badge);
        EXPECT_EQ(o.assistTooltip, "Driver assistance: " + c.card);
        EXPECT_EQ(metricCards(r.row(), false)[3].value, c.card);
    }
}

TEST(Overlay, PedalClampedAndSteering) {
    struct Case {
        QString pedal;
        double fraction;
        QString tooltip;
    };
    const Case cases[] = {{"150", 1.0, "Accelerator pedal: 100%"},
                          {"-5", 0.0, "Accelerator pedal: 0%"},
                          {"42.7", 0.427, "Accelerator pedal: 42%"},
                          {" 50", 0.0, "Accelerator pedal: 0%"}};
    for (const Case& c : cases) {
        OneRow r("accelerator_pedal_position,steering_wheel_angle", c.pedal + ",-12.5");
        const Overlay o = telemetryOverlay(r.row(), false);
        EXPECT_DOUBLE_EQ(o.pedal, c.fraction);
        EXPECT_EQ(o.pedalTooltip, c.tooltip);
        EXPECT_EQ(o.steeringTooltip, QString::fromUtf8("Steering angle: -12.5°"));
        EXPECT_DOUBLE_EQ(o.steeringRadians, -12.5 * kRadiansPerDegree);
        EXPECT_EQ(metricCards(r.row(), false)[1].value, QString::fromUtf8("-12.5°"));
    }
}

TEST(Overlay, BrakeLampAndDetailHighlight) {
    for (const char* on : {"TRUE", "1", " yes "}) {
        OneRow r("brake_applied", QString::fromLatin1(on));
        EXPECT_TRUE(telemetryOverlay(r.row(), false).brakeOn) << on;
        EXPECT_EQ(telemetryOverlay(r.row(), false).brakeTooltip, "Brake applied");
        EXPECT_TRUE(detailGrid(r.row(), ContentView::detailKeys(), 0)[4].highlighted);
    }
    for (const char* off : {"False", "0", ""}) {
        OneRow r("brake_applied", QString::fromLatin1(off));
        EXPECT_FALSE(telemetryOverlay(r.row(), false).brakeOn) << off;
        EXPECT_EQ(telemetryOverlay(r.row(), false).brakeTooltip, "Brake not applied");
        EXPECT_FALSE(detailGrid(r.row(), ContentView::detailKeys(), 0)[4].highlighted);
    }
}

TEST(DetailGrid, ShortRowShowsPlaceholders) {
    OneRow r("accelerator_pedal_position,navark_state,blinker_on_left,heading_deg", "12");
    const QList<DetailCell> cells = detailGrid(r.row(), ContentView::detailKeys(), 0);
    ASSERT_EQ(cells.size(), 14);
    EXPECT_EQ(cells[0].value, "12");
    EXPECT_EQ(cells[0].label, "Accelerator Pedal Position");
    EXPECT_EQ(cells[1].value, "IDLE");
    EXPECT_EQ(cells[2].value, "False");
    EXPECT_EQ(cells[4].value, "False");
    EXPECT_EQ(cells[10].value, QString::fromUtf8("\u2014"));
    EXPECT_EQ(cells[13].value, QString::fromUtf8("\u2014"));
}

TEST(DetailGrid, ActiveBlinkerBlinksOncePerSecondOfPlayback) {
    OneRow r("blinker_on_left,blinker_on_right", "True,False");
    struct Case {
        double time;
        bool bright;
    };
    for (const Case c : {Case{0.0, true}, Case{0.49, true}, Case{0.5, false}, Case{0.99, false},
                         Case{1.0, true}, Case{1e300, true}}) {
        const QList<DetailCell> cells = detailGrid(r.row(), ContentView::detailKeys(), c.time);
        EXPECT_EQ(cells[2].arrow, DetailCell::Arrow::left);
        EXPECT_TRUE(cells[2].arrowActive);
        EXPECT_EQ(cells[2].arrowBright, c.bright) << c.time;
        EXPECT_EQ(cells[3].arrow, DetailCell::Arrow::right);
        EXPECT_FALSE(cells[3].arrowActive);
        EXPECT_FALSE(cells[3].arrowBright);
    }
}

TEST(Readout, FollowsClockTableAndUnit) {
    Settings::instance()->setUseMilesPerHour(false);
    ContentView view;
    TelemetryReadout* readout = view.readout();
    EXPECT_FALSE(readout->hasRow());
    EXPECT_FALSE(readout->routeProgress().isValid());
    QSignalSpy changed(readout, &TelemetryReadout::changed);

    view.ingestCsv("vehicle_speed_mps,latitude_deg,longitude_deg,heading_deg\n"
                   "10,1,2,90\n20,1,3,\n30,x,4,180");
    EXPECT_TRUE(readout->hasRow());
    EXPECT_EQ(readout->speedText(), "36");
    EXPECT_EQ(readout->currentCoordinate().value<GeoCoordinate>(), (GeoCoordinate{1, 2}));
    EXPECT_EQ(readout->currentHeading().toDouble(), 90);
    EXPECT_FALSE(readout->routeProgress().isValid());

    setClock(view, 3, 1.5);
    EXPECT_EQ(readout->rowIndex(), 1);
    EXPECT_EQ(readout->speedText(), "72");
    EXPECT_FALSE(readout->currentHeading().isValid());
    EXPECT_DOUBLE_EQ(readout->routeProgress().toDouble(), 0.5);

    view.setPlaybackTime(2.9);
    EXPECT_FALSE(readout->currentCoordinate().isValid());
    EXPECT_EQ(readout->currentHeading().toDouble(), 180);

    view.setUseMilesPerHour(true);
    EXPECT_EQ(readout->speedUnit(), "mph");
    EXPECT_EQ(readout->metricCards()[0].toMap()["value"], "67.1 mph");
    const int changes = changed.count();
    view.setUseMilesPerHour(false);
    view.setUseMilesPerHour(false);
    EXPECT_EQ(changed.count(), changes + 1);

    const QVariantMap brake = readout->detailCells()[4].toMap();
    EXPECT_EQ(brake["key"], "brake_applied");
    EXPECT_EQ(brake["arrow"], "none");
    view.clearMetadataTable();
    EXPECT_FALSE(readout->hasRow());
    EXPECT_TRUE(readout->detailCells().isEmpty());
}

} // namespace
