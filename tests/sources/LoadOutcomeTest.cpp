// What each kind of extraction result does to the window, without media: the extractor's
// outputs are built by hand.
#include "LoadOutcome.h"

#include "ExtractError.h"

#include <gtest/gtest.h>

namespace {

TEST(LoadOutcome, EachResultAndContextGivesItsOutcome) {
    const std::string csv = "vehicle_speed_mps\n1\n";
    const std::string notice = std::string(MetadataExtractor::kNoMetadataNotice) + "\n";
    const std::string cut(MetadataExtractor::messages::kAtomBeyondFile);
    const auto success = [](const std::string& text) {
        return MetadataExtractor::Output::success(text, "report");
    };
    LoadContext chosen;
    chosen.displayName = "a.mp4";
    chosen.clipPath = "/f/a.mp4";
    LoadContext advancing = chosen;
    advancing.inFolder = advancing.advancing = true;

    using S = ClipMetadataStatus;
    struct Case {
        const char* name;
        MetadataExtractor::Output output;
        LoadContext context;
        bool keepsStatus;
        LoadOutcome expected;
    };
    const ClipTelemetry::Clip table{QString::fromStdString(csv), "report", QString(), false};
    const ClipTelemetry::Clip noticed{
        std::nullopt, "report",
        "No supported Orvik SEI metadata found. Older or parked Orvik clips may lack it.", false};
    const QString unsupported = "Unsupported MP4: no Orvik SEI metadata";
    const Case cases[] = {
        {"telemetry",
         success(csv),
         chosen,
         true,
         {table, "Loaded a.mp4", S::withMetadata, false, true, false}},
        // A folder chosen since keeps no mark of this clip; an advance still shows it.
        {"telemetry, advancing, folder gone",
         success(csv),
         advancing,
         false,
         {table, "Loaded a.mp4", std::nullopt, false, true, false}},
        // The user's own choice plays without telemetry; the advance passes it over.
        {"notice",
         success(notice),
         chosen,
         true,
         {noticed, unsupported, S::noMetadata, false, true, false}},
        {"notice, advancing",
         success(notice),
         advancing,
         true,
         {noticed, unsupported, S::noMetadata, false, false, true}},
        {"failure",
         MetadataExtractor::Output::failure("Not an MP4 file"),
         chosen,
         true,
         {{std::nullopt, QString(), "Not an MP4 file", false},
          "MP4 rejected: Not an MP4 file",
          S::error,
          false,
          false,
          false}},
        {"cut short, advancing",
         MetadataExtractor::Output::failure(cut),
         advancing,
         true,
         {{std::nullopt, QString(), QString::fromStdString(cut), true},
          QString::fromStdString("MP4 rejected: " + cut),
          S::error,
          true,
          false,
          true}},
    };
    for (const Case& c : cases) {
        const LoadOutcome outcome = loadOutcome(c.output, c.context, c.keepsStatus);
        EXPECT_EQ(outcome, c.expected) << c.name << ": " << outcome.status.toStdString() << " / "
                                       << outcome.telemetry.message.toStdString();
    }

    // A recovery shows rows or why there are none, and leaves the status line and the mark.
    const LoadOutcome recovered = recoveryOutcome(success(csv), chosen);
    EXPECT_EQ(std::tuple(recovered.telemetry.csv.value_or(QString()), recovered.status,
                         recovered.clipStatus, recovered.showVideo),
              std::tuple(QString::fromStdString(csv), QString("Recovered telemetry of a.mp4"),
                         std::optional<S>(), false));
    const LoadOutcome failed = recoveryOutcome(MetadataExtractor::Output::failure(cut), chosen);
    EXPECT_EQ(std::tuple(failed.telemetry.csv.has_value(), failed.telemetry.message,
                         failed.status.isNull(), failed.clipStatus),
              std::tuple(false, QString::fromStdString(cut), true, std::optional<S>()));
}

} // namespace
