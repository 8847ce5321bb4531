// CSV rendering: fixed header, 16 cells per line, empty cells for missing fields, no final LF.
#include "Csv.h"
#include "ClipBytes.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace clipbytes;
using MetadataExtractor::decodeTelemetryRecord;
using MetadataExtractor::renderCsv;
using MetadataExtractor::TelemetryRecord;

namespace {

TelemetryRecord record(const Bytes& payload) {
    return decodeTelemetryRecord(payload).value();
}

TEST(Csv, ColumnsAreTheFieldNamesInFieldOrder) {
    std::string joined;
    for (std::string_view c : MetadataExtractor::csvColumns())
        joined += (joined.empty() ? "" : ",") + std::string(c);
    EXPECT_EQ(joined, kCsvHeader);
}

TEST(Csv, MinimalRecordFillsTwoCells) {
    const std::vector<TelemetryRecord> records = {record(minimalRecord(7))};
    EXPECT_EQ(renderCsv(records), kCsvHeader + "\n1,,7,,,,,,,,,,,,,");
}

TEST(Csv, FullRecordHasNoEmptyCell) {
    const std::vector<TelemetryRecord> records = {record(fullRecord(5))};
    EXPECT_EQ(renderCsv(records), kCsvHeader + "\n3,GEAR_DRIVE,5,12.5,0.25,-3.0,True,False,False,"
                                               "LANE_GUIDE,37.5,-122.25,90.0,0.5,-0.125,9.75");
}

TEST(Csv, KeepsOrderAndDuplicatesWithoutTrailingLineFeed) {
    const std::vector<TelemetryRecord> records = {
        record(minimalRecord(2)), record(minimalRecord(1)), record(minimalRecord(2))};
    const std::string csv = renderCsv(records);
    EXPECT_EQ(csv, kCsvHeader + "\n1,,2,,,,,,,,,,,,,\n1,,1,,,,,,,,,,,,,\n1,,2,,,,,,,,,,,,,");
    EXPECT_NE(csv.back(), '\n');
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3);
}

TEST(Csv, HeaderDoesNotDependOnTheFields) {
    const std::vector<TelemetryRecord> sparse = {record(varintField(10, 9))};
    EXPECT_EQ(renderCsv(sparse), kCsvHeader + "\n,,,,,,,,,9,,,,,,");
    EXPECT_EQ(renderCsv({}), kCsvHeader);
}

} // namespace
