// Differential test: thousands of random records encoded by the reference protocol-buffer
// library must decode, in the engine, to the values the library itself reads back.
#include "TelemetryRecord.h"
#include "telemetry_test.pb.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

using google::protobuf::FieldDescriptor;
using MetadataExtractor::decodeTelemetryRecord;
using veldrin::test::Telemetry;

namespace {

class RandomValues {
public:
    explicit RandomValues(std::uint64_t seed) : engine_(seed) {}

    bool chance(double p) { return std::bernoulli_distribution(p)(engine_); }
    std::uint64_t bits() { return engine_(); }

    std::uint64_t integer() {
        switch (engine_() % 5) {
        case 0:
            return engine_() % 6; // around the name tables
        case 1:
            return std::uint64_t{1} << (engine_() % 64);
        case 2:
            return ~std::uint64_t{0} - engine_() % 3;
        default:
            return engine_() >> (engine_() % 64);
        }
    }

    template <typename Float, typename Bits> Float floating() {
        using L = std::numeric_limits<Float>;
        static constexpr Float specials[] = {
            0,        -Float(0), L::infinity(), -L::infinity(), L::quiet_NaN(), L::denorm_min(),
            L::max(), L::min(),  Float(0.1),    Float(1e-4),    Float(9.999e-5)};
        switch (engine_() % 4) {
        case 0:
            return specials[engine_() % std::size(specials)];
        case 1: // telemetry-like magnitudes
            return Float(std::uniform_real_distribution<double>(-400.0, 400.0)(engine_));
        default:
            return std::bit_cast<Float>(static_cast<Bits>(engine_()));
        }
    }

private:
    std::mt19937_64 engine_;
};

Telemetry randomMessage(RandomValues& random) {
    Telemetry message;
    const auto* reflection = message.GetReflection();
    for (int i = 0; i < message.GetDescriptor()->field_count(); ++i) {
        const FieldDescriptor* field = message.GetDescriptor()->field(i);
        if (!random.chance(0.6))
            continue;
        if (field->cpp_type() == FieldDescriptor::CPPTYPE_UINT64)
            reflection->SetUInt64(&message, field, random.integer());
        else if (field->cpp_type() == FieldDescriptor::CPPTYPE_BOOL)
            reflection->SetBool(&message, field, random.chance(0.5));
        else if (field->cpp_type() == FieldDescriptor::CPPTYPE_FLOAT)
            reflection->SetFloat(&message, field, random.floating<float, std::uint32_t>());
        else
            reflection->SetDouble(&message, field, random.floating<double, std::uint64_t>());
    }
    // Fields the engine does not know, and known numbers with another wire type.
    auto* unknown = reflection->MutableUnknownFields(&message);
    if (random.chance(0.3))
        unknown->AddVarint(17 + int(random.bits() % 1000), random.integer());
    if (random.chance(0.3)) // a double field sent as 32 bits
        unknown->AddFixed32(11 + int(random.bits() % 6), std::uint32_t(random.bits()));
    if (random.chance(0.3)) // a float field sent as 64 bits
        unknown->AddFixed64(4 + int(random.bits() % 3), random.bits());
    if (random.chance(0.3))
        unknown->AddFixed64(17 + int(random.bits() % 40), random.bits());
    if (random.chance(0.3))
        unknown->AddLengthDelimited(1 + int(random.bits() % 40),
                                    std::string(random.bits() % 20, 'x'));
    return message;
}

// The text reads back to the same bits.
template <typename Float> void expectRoundTrip(std::string_view text, Float expected) {
    const Float back = std::is_same_v<Float, float>
                           ? std::strtof(std::string(text).c_str(), nullptr)
                           : std::strtod(std::string(text).c_str(), nullptr);
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(back)) << text;
    else
        EXPECT_EQ(std::memcmp(&back, &expected, sizeof back), 0) << text;
}

void expectSameValues(const Telemetry& m, const MetadataExtractor::TelemetryRecord& r) {
    const char* const gears[] = {"GEAR_PARK", "GEAR_DRIVE", "GEAR_REVERSE", "GEAR_NEUTRAL"};
    const char* const assistance[] = {"IDLE", "FULL_GUIDE", "LANE_GUIDE", "PACE_GUIDE"};
    const auto* reflection = m.GetReflection();
    for (int i = 0; i < m.GetDescriptor()->field_count(); ++i) {
        const FieldDescriptor* field = m.GetDescriptor()->field(i);
        const auto text = r.value(std::size_t(field->number()));
        ASSERT_EQ(text.has_value(), reflection->HasField(m, field)) << field->name();
        ASSERT_EQ(MetadataExtractor::csvColumns()[std::size_t(field->number() - 1)], field->name());
        if (!text)
            continue;
        switch (field->cpp_type()) {
        case FieldDescriptor::CPPTYPE_UINT64: {
            const std::uint64_t v = reflection->GetUInt64(m, field);
            const char* const* names = field->number() == 2    ? gears
                                       : field->number() == 10 ? assistance
                                                               : nullptr;
            EXPECT_EQ(*text, names && v < 4 ? names[v] : std::to_string(v));
            break;
        }
        case FieldDescriptor::CPPTYPE_BOOL:
            EXPECT_EQ(*text, reflection->GetBool(m, field) ? "True" : "False");
            break;
        case FieldDescriptor::CPPTYPE_FLOAT:
            expectRoundTrip(*text, reflection->GetFloat(m, field));
            break;
        default:
            expectRoundTrip(*text, reflection->GetDouble(m, field));
        }
    }
}

std::span<const std::uint8_t> bytesOf(const std::string& wire, std::size_t size) {
    return {reinterpret_cast<const std::uint8_t*>(wire.data()), size};
}

TEST(ProtobufDifferential, RandomRecordsDecodeToTheLibrarysValues) {
    RandomValues random(20250101);
    int decoded = 0;
    for (int iteration = 0; iteration < 5000 && !HasFailure(); ++iteration) {
        std::string wire = randomMessage(random).SerializeAsString();
        if (random.chance(0.2)) // a second message appended: later values replace earlier ones
            wire += randomMessage(random).SerializeAsString();
        Telemetry reference;
        ASSERT_TRUE(reference.ParseFromString(wire));
        const auto record = decodeTelemetryRecord(bytesOf(wire, wire.size()));
        std::vector<const FieldDescriptor*> knownFields;
        reference.GetReflection()->ListFields(reference, &knownFields);
        ASSERT_EQ(record.has_value(), !knownFields.empty()) << iteration;
        if (record) {
            expectSameValues(reference, *record);
            ++decoded;
        }
    }
    EXPECT_GT(decoded, 4000);
}

// Payloads the library rejects as malformed must not decode either.
TEST(ProtobufDifferential, TruncatedRecordsAreRejectedLikeTheLibraryDoes) {
    RandomValues random(7);
    for (int iteration = 0; iteration < 500; ++iteration) {
        const std::string wire = randomMessage(random).SerializeAsString();
        for (std::size_t n = 0; n < wire.size(); ++n) {
            const bool malformed = !Telemetry().ParseFromArray(wire.data(), int(n));
            EXPECT_FALSE(malformed && decodeTelemetryRecord(bytesOf(wire, n)))
                << iteration << " " << n;
        }
    }
}

} // namespace
