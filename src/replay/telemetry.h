// Telemetry: the car's and the camera's state as CSV, one row per frame. The
// text starts with comment lines ('#', one of them the units of every column),
// then the header row; row 0 holds the state after start-up, row n the state
// after frame n completed. Columns: frame, dt (s), keys (the key codes held in
// the frame, decimal, space-separated, in double quotes), then the state columns.
// Floats are written with "%.9g", so each reads back as the same 32-bit float.
//
// Shortcomings: the wheel loads, the contact working values and the camera's
// matrices are not written; the brake column moves although the physics
// applies no brake torque.
#pragma once

#include <bitset>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "input/key_codes.h"

namespace torvane {

class Camera;
class Car;

struct TelemetryColumn {
    const char* name;
    const char* unit;
    double (*read)(const Car& car, const Camera& camera);
    bool whole; // an integer, written without a fraction
};

// The state columns, in CSV order after frame, dt and keys.
std::span<const TelemetryColumn> telemetryStateColumns();

// The comment lines (one naming the car file and its contentHash) and the
// header row, each ending with a newline.
std::string telemetryHeader(std::string_view carFile, std::uint64_t carFileHash);

// One row, ending with a newline: the frame number, its frame time dt
// (seconds), the keys held in it, then every state column.
std::string telemetryRow(int frame, float dt, const std::bitset<kKeyCount>& keys, const Car& car,
                         const Camera& camera);

// The first state column whose value is not finite; nullptr when all are.
const TelemetryColumn* firstNonFiniteColumn(const Car& car, const Camera& camera);

} // namespace torvane
