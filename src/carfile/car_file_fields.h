// The car file's fields: for each, its table and key in the file, where its
// value goes in CarParameters, and the range the reader accepts. The table
// order is the order of the shipped file.
#pragma once

#include <span>
#include <string_view>

#include "car/car_parameters.h"

namespace torvane {

struct CarFileField {
    std::string_view table;   // "body", "wheels", ...
    std::string_view key;     // "mass", ...
    float& (*in)(CarParameters& parameters);
    float lowest;             // accepted values: [lowest, highest], or (lowest, highest] when lowestExcluded
    float highest;
    bool lowestExcluded;
};

std::span<const CarFileField> carFileFields();

// True when value lies within the field's range.
bool acceptsValue(const CarFileField& field, float value);

} // namespace torvane
