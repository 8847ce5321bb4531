// Message texts: printf-style filling under a locale, and the German translation.
#include "ContentView.h"
#include "DriveData.h"
#include "ExtractError.h"
#include "LocalizedString.h"
#include "TelemetryReadout.h"
#include "TelemetryRecord.h"
#include "ValueText.h"

#include <QDir>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
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
        {"%2 before %1, %3", {"a", 2.5}, de, "2.5 before a, %3"},
        {"%1d %1.5f", {7, 3.0}, c, "7 3.00000"}, // widths, not numbers
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

// One number rule in every language: a point before the decimals, as the cards and the CSV.
TEST_F(German, TextsSwitchNumbersKeepTheirPoint) {
    ContentView view;
    view.telemetry()->show(ClipTelemetry::Clip::fromCsv(
        "gear_state,steering_wheel_angle,vehicle_speed_mps,brake_applied\n"
        "GEAR_DRIVE,-12.5,10,True"));
    const TelemetryReadout& r = *view.readout();
    EXPECT_EQ(r.steeringTooltip(), QString::fromUtf8("Lenkwinkel: -12.5°"));
    // The events list names a state as the card does.
    DriveData drive;
    drive.setDrive({}, {{analysis::EventKind::HardBrake, 1.0, -4.75, {}},
                        {analysis::EventKind::AssistOff, 2.0, 0.0, "LANE_GUIDE"}});
    EXPECT_EQ(
        QVariantList({drive.events()[0].toMap()["value"], drive.events()[1].toMap()["value"]}),
        QVariantList({QString::fromUtf8("-4.8 m/s²"), QString::fromUtf8("SPURFÜHRUNG")}));
    const QVariantMap speed = r.metricCards()[0].toMap(), brake = r.detailCells()[4].toMap();
    EXPECT_EQ(QVariantList({speed["title"], speed["value"], r.metricCards()[2].toMap()["value"]}),
              QVariantList({"Tempo", "36.0 km/h", "FAHRT"}));
    // The translated "True" still counts as true.
    EXPECT_EQ(QVariantList({brake["label"], brake["value"], brake["highlighted"]}),
              QVariantList({QString::fromUtf8("Bremse betätigt"), "Wahr", true}));
}

// Shortcuts read as the German menus write them, from Qt's own catalogue; English keeps its own.
TEST(Shortcuts, NamedInTheLanguageShown) {
    const LocalizedStrings strings;
    ASSERT_TRUE(installTranslation(QLocale(QLocale::German, QLocale::Germany)));
    EXPECT_EQ(strings.shortcut("Ctrl+Shift+O"), "Strg+Umschalt+O");
    installTranslation(QLocale(QLocale::English));
    EXPECT_EQ(strings.shortcut("Ctrl+Shift+O"), "Ctrl+Shift+O");
}

// Counts take the singular for one, in English as in German.
TEST(Plurals, OneAndManyInBothLanguages) {
    const QString key = QStringLiteral("Trip %1 (%n moments)");
    struct Case {
        QLocale::Language language;
        int count;
        const char* expected;
    };
    const Case cases[] = {
        {QLocale::English, 1, "Trip T (1 moment)"},
        {QLocale::English, 2, "Trip T (2 moments)"},
        {QLocale::German, 1, "Fahrt T (1 Abschnitt)"},
        {QLocale::German, 3, "Fahrt T (3 Abschnitte)"},
    };
    for (const Case& c : cases) {
        installTranslation(QLocale(c.language));
        EXPECT_EQ(localizedCount(key, c.count, QStringLiteral("T")), c.expected);
    }
    installTranslation(QLocale(QLocale::English));
}

// What the studio shows of a clip's values that no source text holds: the columns' titles and
// the engine's value names, as the detail grid and the cards show them in English.
QSet<QString> shownValueTexts() {
    namespace mx = MetadataExtractor;
    const auto& columns = mx::csvColumns();
    const auto& kinds = mx::fieldKinds();
    QSet<QString> texts;
    constexpr std::uint64_t kValuesPerName = 4;
    for (std::uint64_t value = 0; value < kValuesPerName; ++value) {
        QStringList header, cells;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            char text[mx::ValueText::kWriteRoom * 2];
            const mx::FieldKind kind = kinds[i];
            const char* end = kind == mx::FieldKind::Gear ? mx::writeGearText(text, value)
                              : kind == mx::FieldKind::Assistance
                                  ? mx::writeAssistanceText(text, value)
                              : kind == mx::FieldKind::Flag ? mx::writeFlagText(text, value % 2)
                                                            : mx::writeUnsignedText(text, value);
            header << QString::fromUtf8(columns[i].data(), qsizetype(columns[i].size()));
            cells << QString::fromUtf8(text, end - text);
        }
        ContentView view;
        view.telemetry()->show(
            ClipTelemetry::Clip::fromCsv(header.join(u',') + u'\n' + cells.join(u',')));
        for (const QVariant& cell : view.readout()->detailCells())
            texts << cell.toMap()["label"].toString() << cell.toMap()["value"].toString();
        for (const QVariant& card : view.readout()->metricCards())
            texts << card.toMap()["value"].toString();
    }
    return texts;
}

// lupdate over the sources finds every marked text translated into German, and the catalogue
// keeps nothing else but texts composed at run time: a text left unmarked, untranslated or no
// longer shown fails here.
TEST(Catalogue, EveryShownTextIsTranslatedAndNothingStaleIsKept) {
    constexpr int kLupdateTimeoutMs = 60000;
    QTemporaryDir work;
    const QString catalogue = work.filePath("veldrin_de.ts");
    const QDir source(QStringLiteral(VELDRIN_SOURCE_DIR));
    ASSERT_TRUE(QFile::copy(source.filePath("translations/veldrin_de.ts"), catalogue));
    QStringList arguments{"-extensions", "cpp,h,qml", "-silent"};
    const QStringList notShipped{"bench", "build", "extractor", "tests"};
    for (const QString& module : source.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (!notShipped.contains(module) &&
            QFile::exists(source.filePath(module + "/CMakeLists.txt")))
            arguments << source.filePath(module);
    QProcess lupdate;
    lupdate.start(QStringLiteral(VELDRIN_LUPDATE), arguments << "-ts" << catalogue);
    ASSERT_TRUE(lupdate.waitForFinished(kLupdateTimeoutMs));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

    QFile file(catalogue);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList untranslated, unused;
    QString text;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"source") {
            text = xml.readElementText();
        } else if (xml.name() == u"translation") {
            const auto type = xml.attributes().value("type");
            if (type == u"unfinished")
                untranslated << text;
            else if (type == u"vanished")
                unused << text;
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(untranslated.join(u'|').toStdString(), "");

    QSet<QString> composed = shownValueTexts();
    namespace m = MetadataExtractor::messages;
    for (const std::string_view message :
         {m::kFileExceedsSafetyLimit, m::kNotSupportedContainer, m::kMdatNotFound,
          m::kTruncatedExtendedAtomSize, m::kInvalidAtomSize, m::kAtomBeyondFile,
          m::kInvalidFileHeader, m::kTooManyVideoBlocks, m::kInvalidVideoBlockSize,
          m::kSeiBlockExceedsLimit, m::kTooManyMetadataRows})
        composed << QString::fromUtf8(message.data(), qsizetype(message.size()));
    QStringList stale;
    for (const QString& entry : unused)
        if (!composed.contains(entry))
            stale << entry;
    EXPECT_EQ(stale.join(u'|').toStdString(), "");
}

} // namespace
