#include "car/car_state.h"

#include <algorithm>
#include <bit>
#include <type_traits>

#include "car/car.h"
#include "core/content_hash.h"

namespace torvane {

// Copies every motion field between a Car and a CarState, one direction or the other.
template <typename From, typename To>
void copyCarMotion(const From& from, To& to)
{
    to.position = from.position;
    to.heading = from.heading;
    to.scale = from.scale;
    to.velocity = from.velocity;
    to.previousVelocity = from.previousVelocity;
    to.localVelocity = from.localVelocity;
    to.acceleration = from.acceleration;
    to.previousAcceleration = from.previousAcceleration;
    to.steeringAngle = from.steeringAngle;
    std::copy(std::begin(from.wheelSpeed), std::end(from.wheelSpeed), std::begin(to.wheelSpeed));
    std::copy(std::begin(from.wheelAngularAcceleration), std::end(from.wheelAngularAcceleration),
              std::begin(to.wheelAngularAcceleration));
    std::copy(std::begin(from.wheelLoad), std::end(from.wheelLoad), std::begin(to.wheelLoad));
    std::copy(std::begin(from.lateralForce), std::end(from.lateralForce), std::begin(to.lateralForce));
    std::copy(std::begin(from.longitudinalForce), std::end(from.longitudinalForce), std::begin(to.longitudinalForce));
    std::copy(std::begin(from.slipRatio), std::end(from.slipRatio), std::begin(to.slipRatio));
    std::copy(std::begin(from.slipAngle), std::end(from.slipAngle), std::begin(to.slipAngle));
    to.previousYawAcceleration = from.previousYawAcceleration;
    to.yawAcceleration = from.yawAcceleration;
    to.previousYawRate = from.previousYawRate;
    to.yawRate = from.yawRate;
    to.speed = from.speed;
    to.throttle = from.throttle;
    to.throttlePressed = from.throttlePressed;
    to.brake = from.brake;
    to.brakePressed = from.brakePressed;
    to.steeringPressed = from.steeringPressed;
    to.longitudinalAccelerationReadout = from.longitudinalAccelerationReadout;
    std::copy(std::begin(from.angularReadout), std::end(from.angularReadout), std::begin(to.angularReadout));
}

static_assert(kCarStateWheels == kWheelCount);

CarState captureCarState(const Car& car)
{
    CarState state;
    copyCarMotion(car, state);
    return state;
}

void restoreCarState(Car& car, const CarState& state)
{
    copyCarMotion(state, car);
}

std::uint64_t carStateHash(const CarState& state)
{
    std::uint64_t hash = contentHash({});
    const auto mix = [&hash](std::uint32_t bits) {
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (bits >> shift) & 0xFFu;
            hash *= 0x100000001b3ULL;
        }
    };
    visitCarStateFields(state, [&mix](const auto& field) {
        if constexpr (std::is_same_v<std::decay_t<decltype(field)>, bool>) {
            mix(field ? 1u : 0u);
        } else {
            mix(std::bit_cast<std::uint32_t>(field));
        }
    });
    return hash;
}

} // namespace torvane
