#include "replay/telemetry.h"

#include <cmath>
#include <cstdio>

#include "camera/camera.h"
#include "car/car.h"
#include "core/content_hash.h"

namespace torvane {
namespace {

template <float (Car::*get)(int) const, int wheel>
double wheelValue(const Car& car, const Camera&)
{
    return (car.*get)(wheel);
}

// Units: u is the world unit, N the force unit for the car's mass of 1000.
constexpr TelemetryColumn kStateColumns[] = {
    {"position.x", "u", [](const Car& car, const Camera&) -> double { return car.getPosition().x; }, false},
    {"position.y", "u", [](const Car& car, const Camera&) -> double { return car.getPosition().y; }, false},
    {"position.z", "u", [](const Car& car, const Camera&) -> double { return car.getPosition().z; }, false},
    {"heading", "rad", [](const Car& car, const Camera&) -> double { return car.getHeading(); }, false},
    {"velocity.x", "u/s", [](const Car& car, const Camera&) -> double { return car.getVelocity().x; }, false},
    {"velocity.y", "u/s", [](const Car& car, const Camera&) -> double { return car.getVelocity().y; }, false},
    {"velocity.z", "u/s", [](const Car& car, const Camera&) -> double { return car.getVelocity().z; }, false},
    {"previousVelocity.x", "u/s",
     [](const Car& car, const Camera&) -> double { return car.getPreviousVelocity().x; }, false},
    {"previousVelocity.z", "u/s",
     [](const Car& car, const Camera&) -> double { return car.getPreviousVelocity().z; }, false},
    {"localVelocity.x", "u/s", [](const Car& car, const Camera&) -> double { return car.getLocalVelocity().x; },
     false},
    {"localVelocity.y", "u/s", [](const Car& car, const Camera&) -> double { return car.getLocalVelocity().y; },
     false},
    {"acceleration.x", "u/s^2", [](const Car& car, const Camera&) -> double { return car.getAcceleration().x; },
     false},
    {"acceleration.z", "u/s^2", [](const Car& car, const Camera&) -> double { return car.getAcceleration().z; },
     false},
    {"previousAcceleration.x", "u/s^2",
     [](const Car& car, const Camera&) -> double { return car.getPreviousAcceleration().x; }, false},
    {"previousAcceleration.z", "u/s^2",
     [](const Car& car, const Camera&) -> double { return car.getPreviousAcceleration().z; }, false},
    {"steeringAngle", "deg", [](const Car& car, const Camera&) -> double { return car.getSteeringAngle(); }, false},
    {"wheelSpeed0", "rad/s", wheelValue<&Car::getWheelSpeed, 0>, false},
    {"wheelSpeed1", "rad/s", wheelValue<&Car::getWheelSpeed, 1>, false},
    {"wheelSpeed2", "rad/s", wheelValue<&Car::getWheelSpeed, 2>, false},
    {"wheelSpeed3", "rad/s", wheelValue<&Car::getWheelSpeed, 3>, false},
    {"wheelAngularAcceleration0", "rad/s^2", wheelValue<&Car::getWheelAngularAcceleration, 0>, false},
    {"wheelAngularAcceleration1", "rad/s^2", wheelValue<&Car::getWheelAngularAcceleration, 1>, false},
    {"wheelAngularAcceleration2", "rad/s^2", wheelValue<&Car::getWheelAngularAcceleration, 2>, false},
    {"wheelAngularAcceleration3", "rad/s^2", wheelValue<&Car::getWheelAngularAcceleration, 3>, false},
    {"lateralForce0", "N", wheelValue<&Car::getLateralForce, 0>, false},
    {"lateralForce1", "N", wheelValue<&Car::getLateralForce, 1>, false},
    {"lateralForce2", "N", wheelValue<&Car::getLateralForce, 2>, false},
    {"lateralForce3", "N", wheelValue<&Car::getLateralForce, 3>, false},
    {"longitudinalForce0", "N", wheelValue<&Car::getLongitudinalForce, 0>, false},
    {"longitudinalForce1", "N", wheelValue<&Car::getLongitudinalForce, 1>, false},
    {"longitudinalForce2", "N", wheelValue<&Car::getLongitudinalForce, 2>, false},
    {"longitudinalForce3", "N", wheelValue<&Car::getLongitudinalForce, 3>, false},
    {"slipRatio0", "1", wheelValue<&Car::getSlipRatio, 0>, false},
    {"slipRatio1", "1", wheelValue<&Car::getSlipRatio, 1>, false},
    {"slipRatio2", "1", wheelValue<&Car::getSlipRatio, 2>, false},
    {"slipRatio3", "1", wheelValue<&Car::getSlipRatio, 3>, false},
    {"slipAngle0", "deg", wheelValue<&Car::getSlipAngle, 0>, false},
    {"slipAngle1", "deg", wheelValue<&Car::getSlipAngle, 1>, false},
    {"slipAngle2", "deg", wheelValue<&Car::getSlipAngle, 2>, false},
    {"slipAngle3", "deg", wheelValue<&Car::getSlipAngle, 3>, false},
    {"previousYawAcceleration", "rad/s^2",
     [](const Car& car, const Camera&) -> double { return car.getPreviousYawAcceleration(); }, false},
    {"yawAcceleration", "rad/s^2", [](const Car& car, const Camera&) -> double { return car.getYawAcceleration(); },
     false},
    {"previousYawRate", "rad/s", [](const Car& car, const Camera&) -> double { return car.getPreviousYawRate(); },
     false},
    {"yawRate", "rad/s", [](const Car& car, const Camera&) -> double { return car.getYawRate(); }, false},
    {"speed", "u/s", [](const Car& car, const Camera&) -> double { return car.getSpeed(); }, false},
    {"throttle", "1", [](const Car& car, const Camera&) -> double { return car.getThrottle(); }, false},
    {"brake", "1", [](const Car& car, const Camera&) -> double { return car.getBrake(); }, false},
    {"longitudinalAccelerationReadout", "u/s^2",
     [](const Car& car, const Camera&) -> double { return car.getLongitudinalAccelerationReadout(); }, false},
    {"cameraMode", "-", [](const Car&, const Camera& camera) -> double { return camera.getMode(); }, true},
    {"eye.x", "u", [](const Car&, const Camera& camera) -> double { return camera.getEye().x; }, false},
    {"eye.y", "u", [](const Car&, const Camera& camera) -> double { return camera.getEye().y; }, false},
    {"eye.z", "u", [](const Car&, const Camera& camera) -> double { return camera.getEye().z; }, false},
    {"lookAt.x", "u", [](const Car&, const Camera& camera) -> double { return camera.getLookAt().x; }, false},
    {"lookAt.y", "u", [](const Car&, const Camera& camera) -> double { return camera.getLookAt().y; }, false},
    {"lookAt.z", "u", [](const Car&, const Camera& camera) -> double { return camera.getLookAt().z; }, false},
};

// Appends value as printf would write it with format.
void appendFormatted(std::string& out, const char* format, double value)
{
    char text[32];
    const int length = std::snprintf(text, sizeof text, format, value);
    out.append(text, static_cast<std::size_t>(length));
}

} // namespace

std::span<const TelemetryColumn> telemetryStateColumns()
{
    return kStateColumns;
}

std::string telemetryHeader(std::string_view carFile, std::uint64_t carFileHash)
{
    std::string units = "# units: frame -, dt s, keys DirectInput codes";
    std::string header = "frame,dt,keys";
    for (const TelemetryColumn& column : kStateColumns) {
        units += std::string(", ") + column.name + " " + column.unit;
        header += std::string(",") + column.name;
    }
    return "# Torvane telemetry: row 0 is the state after start-up, row n the state after frame n.\n"
           "# u is the world unit; N the force unit for the car's mass of 1000.\n"
           "# car: " +
           std::string(carFile) + " " + contentHashText(carFileHash) + "\n" + units + "\n" + header + "\n";
}

std::string telemetryRow(int frame, float dt, const std::bitset<kKeyCount>& keys, const Car& car,
                         const Camera& camera)
{
    std::string row = std::to_string(frame);
    appendFormatted(row, ",%.9g", dt);
    row += ",\"";
    const char* separator = "";
    for (int code = 0; code < kKeyCount; ++code) {
        if (keys.test(static_cast<std::size_t>(code))) {
            row += separator + std::to_string(code);
            separator = " ";
        }
    }
    row += '"';
    for (const TelemetryColumn& column : kStateColumns) {
        // A whole value fits an int, so "%.0f" writes it exactly.
        appendFormatted(row, column.whole ? ",%.0f" : ",%.9g", column.read(car, camera));
    }
    row += '\n';
    return row;
}

const TelemetryColumn* firstNonFiniteColumn(const Car& car, const Camera& camera)
{
    for (const TelemetryColumn& column : kStateColumns) {
        if (!std::isfinite(column.read(car, camera))) {
            return &column;
        }
    }
    return nullptr;
}

} // namespace torvane
