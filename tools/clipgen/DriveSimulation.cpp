// The drive alternates straight stretches and 90-degree turns at junctions. Before each turn
// the car slows down with its blinker on; driver assistance guides only on the straights.
#include "DriveSimulation.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace clipgen {
namespace {

constexpr std::uint64_t kRecordVersion = 1;
constexpr std::uint64_t kGearPark = 0, kGearDrive = 1;
constexpr std::uint64_t kAssistIdle = 0, kAssistFull = 1, kAssistLane = 2;

constexpr double kStartLatitude = 48.13743, kStartLongitude = 11.57549, kStartHeading = 30.0;
constexpr double kParkedSeconds = 1.0;
constexpr double kCruiseSpeed = 16.0, kTurnSpeed = 6.0;
constexpr double kMaxAcceleration = 2.2, kMaxDeceleration = 3.0;
constexpr double kStraightMinSeconds = 7.0, kStraightMaxSeconds = 14.0;
constexpr double kSlowDownSeconds = 4.0;
constexpr double kTurnSeconds = 4.0, kTurnDegrees = 90.0;
constexpr double kSteeringRatio = 15.0;
constexpr double kGravity = 9.81;
constexpr double kMetresPerDegree = 111320.0;
constexpr double kFullGuideMinSpeed = 12.0;

double radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

struct Leg {
    double straightSeconds;
    int turnDirection; // -1 left, +1 right
};

class Drive {
public:
    Drive(double fps, std::uint64_t seed) : dt_(1.0 / fps), random_(seed) { nextLeg(); }

    TelemetryRecord step(std::int64_t frame, std::int64_t frames) {
        const double t = static_cast<double>(frame) * dt_;
        const double endT = static_cast<double>(frames) * dt_;
        const bool parked = t < kParkedSeconds || t > endT - kParkedSeconds;

        double yawRate = 0.0, steering = 0.0;
        double targetSpeed = kCruiseSpeed;
        bool blinker = false;
        if (inTurn_) {
            const double phase = legTime_ / kTurnSeconds;
            yawRate = leg_.turnDirection * kTurnDegrees / kTurnSeconds *
                      (1.0 - std::cos(2 * std::numbers::pi * phase));
            steering = yawRate * kSteeringRatio / 4.0;
            targetSpeed = kTurnSpeed;
            blinker = phase < 0.5;
        } else if (legTime_ > leg_.straightSeconds - kSlowDownSeconds) {
            targetSpeed = kTurnSpeed;
            blinker = true;
        }
        if (parked)
            targetSpeed = 0.0;

        const double speedError = targetSpeed - speed_;
        const double acceleration =
            std::clamp(speedError / dt_, -kMaxDeceleration, kMaxAcceleration) *
            (std::abs(speedError) < 0.05 ? 0.0 : 1.0);
        speed_ = std::max(0.0, speed_ + acceleration * dt_);
        if (speed_ > 0.0) {
            heading_ = std::fmod(heading_ + yawRate * dt_ + 360.0, 360.0);
            legTime_ += dt_;
        }
        latitude_ += speed_ * std::cos(radians(heading_)) * dt_ / kMetresPerDegree;
        longitude_ += speed_ * std::sin(radians(heading_)) * dt_ /
                      (kMetresPerDegree * std::cos(radians(latitude_)));
        advanceLeg();

        std::normal_distribution<double> vibration(0.0, 0.05);
        TelemetryRecord r;
        r.setVarint(kVersion, kRecordVersion);
        r.setVarint(kGearState, parked && speed_ == 0.0 ? kGearPark : kGearDrive);
        r.setVarint(kFrameSeqNo, static_cast<std::uint64_t>(frame));
        r.setFloat(kVehicleSpeedMps, static_cast<float>(speed_));
        r.setFloat(kAcceleratorPedalPosition,
                   static_cast<float>(acceleration > 0 ? acceleration / kMaxAcceleration * 0.6
                                      : speedError >= 0 && speed_ > 0 ? 0.15
                                                                      : 0.0));
        r.setFloat(kSteeringWheelAngle, static_cast<float>(steering));
        r.setVarint(kBlinkerOnLeft, blinker && leg_.turnDirection < 0 ? 1 : 0);
        r.setVarint(kBlinkerOnRight, blinker && leg_.turnDirection > 0 ? 1 : 0);
        r.setVarint(kBrakeApplied, acceleration < 0 || speed_ == 0.0 ? 1 : 0);
        r.setVarint(kNavarkState, assistState(parked, blinker));
        r.setDouble(kLatitudeDeg, latitude_);
        r.setDouble(kLongitudeDeg, longitude_);
        r.setDouble(kHeadingDeg, heading_);
        r.setDouble(kLinearAccelerationX, acceleration + vibration(random_));
        r.setDouble(kLinearAccelerationY, speed_ * radians(yawRate) + vibration(random_));
        r.setDouble(kLinearAccelerationZ, kGravity + vibration(random_));
        return r;
    }

private:
    std::uint64_t assistState(bool parked, bool blinker) const {
        if (parked || inTurn_ || blinker)
            return kAssistIdle;
        return speed_ >= kFullGuideMinSpeed ? kAssistFull : kAssistLane;
    }

    void nextLeg() {
        std::uniform_real_distribution<double> straight(kStraightMinSeconds, kStraightMaxSeconds);
        std::bernoulli_distribution left(0.5);
        leg_ = {straight(random_), left(random_) ? -1 : 1};
        legTime_ = 0.0;
        inTurn_ = false;
    }

    void advanceLeg() {
        if (!inTurn_ && legTime_ >= leg_.straightSeconds) {
            inTurn_ = true;
            legTime_ = 0.0;
        } else if (inTurn_ && legTime_ >= kTurnSeconds) {
            nextLeg();
        }
    }

    double dt_;
    std::mt19937_64 random_;
    Leg leg_{};
    double legTime_ = 0.0;
    bool inTurn_ = false;
    double speed_ = 0.0;
    double heading_ = kStartHeading;
    double latitude_ = kStartLatitude;
    double longitude_ = kStartLongitude;
};

} // namespace

std::vector<TelemetryRecord> simulateDrive(std::int64_t frames, double fps, std::uint64_t seed) {
    Drive drive(fps, seed);
    std::vector<TelemetryRecord> records;
    records.reserve(static_cast<std::size_t>(std::max<std::int64_t>(frames, 0)));
    for (std::int64_t frame = 0; frame < frames; ++frame)
        records.push_back(drive.step(frame, frames));
    return records;
}

} // namespace clipgen
