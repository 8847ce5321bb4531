// Message texts: printf-style filling under a locale, and the German translation.
#include "ContentView.h"
#include "LocalizedString.h"
#include "TelemetryReadout.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatWithLocale, PrintfConversions) {
    const QLocale c = QLocale::c();
    const QLocale de(QLocale::German, QLocale::Germany);
    struct Case {
        const char* format;
        QVariantList args;
        QLocale locale;
        QString expected;
    };
    const Case cases[] = {
        {"Rows: %d", {123456}, de, "Rows: 123456"}, // no grouping
        {"%.1f", {12.26}, de, "12,3"},
        {"%.1f", {-0.04}, c, "-0.0"},
        {"%@ and %@", {"a", "b"}, c, "a and b"},
        {"%d%%", {100}, c, "100%"},
        {"%d and %d", {1}, c, "1 and %d"}, // missing argument kept as written
    };
    for (const Case& t : cases)
        EXPECT_EQ(formatWithLocale(QString::fromUtf8(t.format), t.args, t.locale), t.expected)
            << t.format;
}

class German : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(installTranslation(QLocale(QLocale::German, QLocale::Germany)));
    }
    void TearDown() override {
        EXPECT_FALSE(installTranslation(QLocale(QLocale::English)));
        EXPECT_EQ(localizedString(QStringLiteral("No file loaded")), "No file loaded");
    }
};

TEST_F(German, TextsAndNumbersSwitch) {
    ContentView view;
    view.ingestCsv("gear_state,steering_wheel_angle,vehicle_speed_mps,brake_applied\n"
                   "GEAR_DRIVE,-12.5,10,True");
    const TelemetryReadout& r = *view.readout();
    EXPECT_EQ(r.steeringTooltip(), QString::fromUtf8("Lenkwinkel: -12,5°"));
    // The cards are formatted without a locale.
    const QVariantMap speed = r.metricCards()[0].toMap(), brake = r.detailCells()[4].toMap();
    EXPECT_EQ(QVariantList({speed["title"], speed["value"], r.metricCards()[2].toMap()["value"]}),
              QVariantList({"Geschwindigkeit", "36.0 km/h", "FAHRT"}));
    // The translated "True" still counts as true.
    EXPECT_EQ(QVariantList({brake["label"], brake["value"], brake["highlighted"]}),
              QVariantList({QString::fromUtf8("Bremse betätigt"), "Wahr", true}));
}

} // namespace
