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

const QString kDash = QString::fromUtf8("\u2014");

// A one-row table from a header and a data line that is not blank.
struct OneRow {
    MetadataTable table;
    OneRow(const QString& header, const QString& line) {
        EXPECT_EQ(table.parse(header + u'\n' + line), MetadataTable::Outcome::table);
    }
    Row row() const { return Row(table.table(), 0); }
};

TEST(RowIndex, SpreadsRowsEvenlyOverTheDuration) {
    struct Case {
        qsizetype rows;
        double duration, time;
        qsizetype expected;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {100, 10, 4.99, 49}, {100, 10, 5.0, 50}, {100, 10, 25.0, 99}, {100, 10, -3, 0},
        {100, 0, 7, 0},      {100, nan, 7, 0},   {0, 10, 5, 0},       {100, 10, nan, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(currentRowIndex(c.rows, c.time, c.duration), c.expected)
            << c.rows << " rows, " << c.time << "/" << c.duration;
    MetadataTable headerOnly;
    headerOnly.parse("a,b");
    EXPECT_FALSE(currentRow(headerOnly.table(), 0, 0));
}

TEST(ParseNumber, WholeTextInCLocaleSyntaxAndFlags) {
    const std::pair<QString, std::optional<double>> numbers[] = {
        {"-12.5", -12.5}, {"1e3", 1000.0}, {"0x10", 16.0},
        {".5", 0.5},      {"", {}},        {" 12.5", {}},
        {"12.5 ", {}},    {"12,5", {}},    {QString::fromUtf8("\u00A01"), {}},
    };
    for (const auto& [text, expected] : numbers)
        EXPECT_EQ(parseNumber(text), expected) << text.toStdString();
    EXPECT_TRUE(std::isnan(*parseNumber(u"nan")));
    for (const char* text : {"TRUE", "True", "1", " yes ", "\ttrue\u2028"})
        EXPECT_TRUE(isTrue(QString::fromUtf8(text))) << text;
    for (const char* text : {"", "False", "0", "no", "2", "t", "y es"})
        EXPECT_FALSE(isTrue(QString::fromUtf8(text))) << text;
}

TEST(DisplayValue, PlaceholdersGearNamesAndLabels) {
    const QStringList keys = {"navark_state",     "gear_state",    "blinker_on_left",
                              "blinker_on_right", "brake_applied", "heading_deg"};
    OneRow empty(keys.join(u','), ",  ,,,,");
    const QStringList placeholders = {"IDLE", kDash, "False", "False", "False", kDash};
    for (qsizetype i = 0; i < keys.size(); ++i)
        EXPECT_EQ(displayValue(keys[i], empty.row()), placeholders[i]) << keys[i].toStdString();
    const std::pair<QString, QString> gears[] = {
        {" GEAR_REVERSE ", "REVERSE"}, {"gear_drive", "gear_drive"}, {" 5 ", "5"}};
    for (const auto& [cell, expected] : gears)
        EXPECT_EQ(displayValue(u"gear_state", OneRow("gear_state", cell).row()), expected);
    EXPECT_EQ(detailLabel(u"linear_acceleration_mps2_x"), "Linear Acceleration Mps2 X");
}

TEST(Overlay, GaugesCardsAndTooltips) {
    const QString header = "vehicle_speed_mps,steering_wheel_angle,accelerator_pedal_position,"
                           "brake_applied,gear_state,navark_state";
    // Speed | its card | steering card | pedal | pedal tooltip | brake on overlay and in the grid
    // | gear letter | gear card | assist badge shown | badge | assist card.
    const std::pair<QString, QString> cases[] = {
        {"10,-12.5,150,TRUE,GEAR_REVERSE,FULL_GUIDE",
         "36|36.0 km/h|-12.5°|1|Accelerator pedal: 100%|11|R|REVERSE|1|NVG|FULL_GUIDE"},
        // 1.25 m/s is exactly 4.5 km/h; exact halves round to even, as printf does.
        {"1.25,12.25,-5,0,GEAR_DRIVE,IDLE",
         "4|4.5 km/h|12.2°|0|Accelerator pedal: 0%|00|D|DRIVE|0|IDLE|IDLE"},
        {",, 50,False,,", "0|0.0 km/h|0.0°|0|Accelerator pedal: 0%|00|—|—|0|IDLE|IDLE"},
        // Replacements apply wherever the names occur.
        {"0,0,0,0,OVERDRIVE,",
         "0|0.0 km/h|0.0°|0|Accelerator pedal: 0%|00|OVERD|OVERDRIVE|0|IDLE|IDLE"},
    };
    for (const auto& [line, expected] : cases) {
        OneRow r(header, line);
        const Overlay o = telemetryOverlay(r.row(), false);
        const QList<MetricCard> c = metricCards(r.row(), false);
        const bool gridBrake =
            detailGrid(r.row(), TelemetryReadout::detailKeys(), 0)[4].highlighted;
        const QString flags = QString::number(o.brakeOn) + QString::number(gridBrake);
        EXPECT_EQ(QStringList({o.speedText, c[0].value, c[1].value, QString::number(o.pedal),
                               o.pedalTooltip, flags, o.gearLetter, c[2].value,
                               QString::number(o.showsAssistBadge), o.assistBadgeText, c[3].value})
                      .join(u'|'),
                  expected);
    }
    OneRow r(header, cases[0].first);
    const Overlay mph = telemetryOverlay(r.row(), true);
    EXPECT_EQ(mph.speedText + " " + mph.speedUnit, "22 mph");
    EXPECT_DOUBLE_EQ(mph.steeringRadians, -12.5 * kRadiansPerDegree);
}

TEST(DetailGrid, PlaceholdersAndBlinkersOncePerSecondOfPlayback) {
    OneRow r("accelerator_pedal_position,navark_state,blinker_on_left,blinker_on_right", "12,,1");
    const std::pair<double, bool> times[] = {
        {0.49, true}, {0.5, false}, {1.0, true}, {1e300, true}};
    for (const auto& [time, bright] : times) {
        const QList<DetailCell> cells = detailGrid(r.row(), TelemetryReadout::detailKeys(), time);
        ASSERT_EQ(cells.size(), 14);
        EXPECT_EQ(QStringList({cells[0].value, cells[1].value, cells[3].value, cells[13].value}),
                  QStringList({"12", "IDLE", "False", kDash}));
        EXPECT_EQ(
            std::tuple(cells[2].arrow, cells[2].arrowActive, cells[2].arrowBright, cells[3].arrow,
                       cells[3].arrowActive || cells[3].arrowBright),
            std::tuple(DetailCell::Arrow::left, true, bright, DetailCell::Arrow::right, false))
            << time;
    }
}

TEST(Readout, FollowsClockTableAndUnit) {
    Settings::instance()->setUseMilesPerHour(false);
    ContentView view;
    TelemetryReadout* readout = view.readout();
    EXPECT_FALSE(readout->hasRow());
    QSignalSpy changed(readout, &TelemetryReadout::changed);

    view.telemetry()->show(
        ClipTelemetry::Clip::fromCsv("vehicle_speed_mps,latitude_deg,longitude_deg,heading_deg\n"
                                     "10,1,2,90\n20,1,3,\n30,x,4,180"));
    EXPECT_EQ(readout->speedText(), "36");
    EXPECT_FALSE(readout->routeProgress().isValid());

    view.clock()->setPlaybackDuration(3);
    view.clock()->setPlaybackTime(1.5);
    EXPECT_EQ(readout->rowIndex(), 1);
    EXPECT_DOUBLE_EQ(readout->routeProgress().toDouble(), 0.5);
    view.clock()->setPlaybackTime(2.9);

    view.setUseMilesPerHour(true);
    EXPECT_EQ(readout->metricCards()[0].toMap()["value"], "67.1 mph");
    const int changes = changed.count();
    view.setUseMilesPerHour(false);
    view.setUseMilesPerHour(false);
    EXPECT_EQ(changed.count(), changes + 1);

    EXPECT_EQ(readout->detailCells()[4].toMap()["arrow"], "none");
    view.telemetry()->clear();
    EXPECT_FALSE(readout->hasRow());
    EXPECT_TRUE(readout->detailCells().isEmpty());
}

} // namespace
