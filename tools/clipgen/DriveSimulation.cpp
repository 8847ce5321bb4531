// The drive alternates straight stretches and turns at junctions, each leg drawn at random as a
// driver would vary it: cruising speed, how hard the braking before the turn is, how tight and
// how fast the turn is taken, how briskly the car speeds up again. Acceleration changes with a
// bounded jerk, so brakings ramp up and down rather than sit at one value. Heading comes from
// the yaw rate, position from speed and heading, lateral acceleration from speed and yaw rate:
// the record is one consistent motion.
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
// Ranges each leg draws from.
constexpr double kCruiseSpeedMin = 12.5, kCruiseSpeedMax = 17.5;
constexpr double kTurnSpeedMin = 5.0, kTurnSpeedMax = 8.0;
constexpr double kBrakingMin = 1.8, kBrakingMax = 4.6;
constexpr double kSpeedingUpMin = 1.4, kSpeedingUpMax = 3.4;
constexpr double kStraightMinSeconds = 7.0, kStraightMaxSeconds = 14.0;
constexpr double kTurnMinSeconds = 3.5, kTurnMaxSeconds = 6.0;
constexpr double kTurnMinDegrees = 65.0, kTurnMaxDegrees = 100.0;
// Speed error (m/s) to acceleration (m/s²) before the leg's limits.
constexpr double kSpeedGain = 1.2;
// How fast acceleration may change (m/s³): a driver's foot, not a step.
constexpr double kJerk = 4.0;
// Slowing down before a turn starts this long before the braking alone would need.
constexpr double kSlowDownMarginSeconds = 1.5;
// The final stop before parking: gentle, started early enough for the ramps, and with a little
// braking beyond what the speed error asks so that the car comes to rest.
constexpr double kStopDeceleration = 2.2, kStopTimeMargin = 1.4, kStopCreepMps2 = 0.6;
// Accelerator pedal in percent: what holding a speed takes, and what speeding up adds.
constexpr double kHoldPedalBase = 6.0, kHoldPedalPerMps = 0.6;
constexpr double kPedalPerMps2 = 22.0, kPedalNoise = 1.5;
constexpr double kMaxPedal = 100.0;
// Deceleration that needs the brake rather than only lifting the foot.
constexpr double kBrakeFromMps2 = -0.6;
constexpr double kSteeringRatio = 15.0;
constexpr double kGravity = 9.81;
constexpr double kMetresPerDegree = 111320.0;
constexpr double kFullGuideMinSpeed = 12.0;
constexpr double kVibration = 0.05;

double radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

struct Leg {
    double straightSeconds;
    int turnDirection; // -1 left, +1 right
    double cruiseSpeed, turnSpeed;
    double braking, speedingUp; // m/s², both positive
    double turnSeconds, turnDegrees;
};

class Drive {
public:
    Drive(double fps, std::uint64_t seed) : dt_(1.0 / fps), random_(seed) { nextLeg(); }

    TelemetryRecord step(std::int64_t frame, std::int64_t frames) {
        const double t = static_cast<double>(frame) * dt_;
        const double endT = static_cast<double>(frames) * dt_;
        stopping_ =
            stopping_ || endT - t < kParkedSeconds + kStopTimeMargin * speed_ / kStopDeceleration;
        const bool parked = t < kParkedSeconds || stopping_;

        double yawRate = 0.0; // degrees per second
        double targetSpeed = leg_.cruiseSpeed;
        double braking = leg_.braking;
        bool blinker = false;
        if (inTurn_) {
            const double phase = legTime_ / leg_.turnSeconds;
            // A bell of yaw rate whose integral over the turn is the turn's angle.
            yawRate = leg_.turnDirection * leg_.turnDegrees / leg_.turnSeconds *
                      (1.0 - std::cos(2 * std::numbers::pi * phase));
            targetSpeed = leg_.turnSpeed;
            blinker = phase < 0.5;
        } else if (legTime_ > leg_.straightSeconds - slowDownSeconds()) {
            targetSpeed = leg_.turnSpeed;
            blinker = true;
        }
        if (parked) {
            targetSpeed = 0.0;
            braking = kStopDeceleration;
        }

        const double creep = targetSpeed == 0.0 ? kStopCreepMps2 : 0.0;
        const double wanted =
            std::clamp(kSpeedGain * (targetSpeed - speed_) - creep, -braking, leg_.speedingUp);
        acceleration_ += std::clamp(wanted - acceleration_, -kJerk * dt_, kJerk * dt_);
        if (speed_ + acceleration_ * dt_ <= 0.0 && targetSpeed == 0.0) {
            speed_ = 0.0;
            acceleration_ = 0.0;
        } else {
            speed_ = std::max(0.0, speed_ + acceleration_ * dt_);
        }
        if (speed_ > 0.0) {
            heading_ = std::fmod(heading_ + yawRate * dt_ + 360.0, 360.0);
            legTime_ += dt_;
        } else {
            yawRate = 0.0;
        }
        latitude_ += speed_ * std::cos(radians(heading_)) * dt_ / kMetresPerDegree;
        longitude_ += speed_ * std::sin(radians(heading_)) * dt_ /
                      (kMetresPerDegree * std::cos(radians(latitude_)));
        const double steering = yawRate * kSteeringRatio / 4.0;
        const bool turning = inTurn_;
        advanceLeg();

        std::normal_distribution<double> vibration(0.0, kVibration);
        std::normal_distribution<double> foot(0.0, kPedalNoise);
        double pedal = 0.0;
        if (speed_ > 0.0 && acceleration_ > kBrakeFromMps2 / 2)
            pedal = std::clamp(kHoldPedalBase + kHoldPedalPerMps * speed_ +
                                   kPedalPerMps2 * std::max(0.0, acceleration_) + foot(random_),
                               0.0, kMaxPedal);
        TelemetryRecord r;
        r.setVarint(kVersion, kRecordVersion);
        r.setVarint(kGearState, parked && speed_ == 0.0 ? kGearPark : kGearDrive);
        r.setVarint(kFrameSeqNo, static_cast<std::uint64_t>(frame));
        r.setFloat(kVehicleSpeedMps, static_cast<float>(speed_));
        r.setFloat(kAcceleratorPedalPosition, static_cast<float>(pedal));
        r.setFloat(kSteeringWheelAngle, static_cast<float>(steering));
        r.setVarint(kBlinkerOnLeft, blinker && leg_.turnDirection < 0 ? 1 : 0);
        r.setVarint(kBlinkerOnRight, blinker && leg_.turnDirection > 0 ? 1 : 0);
        r.setVarint(kBrakeApplied, acceleration_ < kBrakeFromMps2 || speed_ == 0.0 ? 1 : 0);
        r.setVarint(kNavarkState, assistState(parked, blinker || turning));
        r.setDouble(kLatitudeDeg, latitude_);
        r.setDouble(kLongitudeDeg, longitude_);
        r.setDouble(kHeadingDeg, heading_);
        r.setDouble(kLinearAccelerationX, acceleration_ + vibration(random_));
        r.setDouble(kLinearAccelerationY, speed_ * radians(yawRate) + vibration(random_));
        r.setDouble(kLinearAccelerationZ, kGravity + vibration(random_));
        return r;
    }

private:
    std::uint64_t assistState(bool parked, bool manoeuvring) const {
        if (parked || manoeuvring)
            return kAssistIdle;
        return speed_ >= kFullGuideMinSpeed ? kAssistFull : kAssistLane;
    }

    // Time to brake from cruising to the turn's speed, and the ramps around it.
    double slowDownSeconds() const {
        return (leg_.cruiseSpeed - leg_.turnSpeed) / leg_.braking + kSlowDownMarginSeconds;
    }

    double draw(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random_);
    }

    void nextLeg() {
        leg_.straightSeconds = draw(kStraightMinSeconds, kStraightMaxSeconds);
        leg_.turnDirection = std::bernoulli_distribution(0.5)(random_) ? -1 : 1;
        leg_.cruiseSpeed = draw(kCruiseSpeedMin, kCruiseSpeedMax);
        leg_.turnSpeed = draw(kTurnSpeedMin, kTurnSpeedMax);
        leg_.braking = draw(kBrakingMin, kBrakingMax);
        leg_.speedingUp = draw(kSpeedingUpMin, kSpeedingUpMax);
        leg_.turnSeconds = draw(kTurnMinSeconds, kTurnMaxSeconds);
        leg_.turnDegrees = draw(kTurnMinDegrees, kTurnMaxDegrees);
        legTime_ = 0.0;
        inTurn_ = false;
    }

    void advanceLeg() {
        if (!inTurn_ && legTime_ >= leg_.straightSeconds) {
            inTurn_ = true;
            legTime_ = 0.0;
        } else if (inTurn_ && legTime_ >= leg_.turnSeconds) {
            nextLeg();
        }
    }

    double dt_;
    std::mt19937_64 random_;
    Leg leg_{};
    double legTime_ = 0.0;
    bool inTurn_ = false;
    bool stopping_ = false;
    double speed_ = 0.0;
    double acceleration_ = 0.0;
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
