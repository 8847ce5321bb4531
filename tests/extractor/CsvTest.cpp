// CSV rendering: fixed header, 16 cells per line, empty cells for missing fields, no final LF.
#include "Csv.h"
#include "ClipBytes.h"
#include "TestClips.h"

#include <gtest/gtest.h>

using namespace clipbytes;

namespace {

TEST(Csv, HeaderThenOneLinePerRecordInOrder) {
    const auto record = [](const Bytes& payload) {
        return MetadataExtractor::decodeTelemetryRecord(payload).value();
    };
    const std::string& header = testclips::kCsvHeader;
    const std::vector<std::pair<std::vector<MetadataExtractor::TelemetryRecord>, std::string>>
        cases = {
            {{}, header},
            {{record(fullRecord(5))},
             header + "\n3,GEAR_DRIVE,5,12.5,0.25,-3.0,True,False,False,"
                      "LANE_GUIDE,37.5,-122.25,90.0,0.5,-0.125,9.75"},
            {{record(varintField(10, 9))}, header + "\n,,,,,,,,,9,,,,,,"},
            {{record(minimalRecord(2)), record(minimalRecord(1)), record(minimalRecord(2))},
             header + "\n1,,2,,,,,,,,,,,,,\n1,,1,,,,,,,,,,,,,\n1,,2,,,,,,,,,,,,,"},
        };
    for (const auto& [records, csv] : cases)
        EXPECT_EQ(MetadataExtractor::renderCsv(records), csv);
}

} // namespace
