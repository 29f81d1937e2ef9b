#include "carfile/car_file_writing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "carfile/car_file_fields.h"
#include "core/atomic_file.h"

namespace torvane {
namespace {

constexpr std::size_t kLongestName = 64;

// value in decimal, so that reading it as a double and rounding to a float gives
// value again: nine digits when they do, else the float's exact double.
std::string numberText(float value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    if (static_cast<float>(std::strtod(text, nullptr)) != value) {
        std::snprintf(text, sizeof text, "%.17g", static_cast<double>(value));
    }
    // TOML reads "1e+06" and "1000" as numbers alike; the reader takes both.
    return text;
}

bool allInRange(const CarParameters& parameters)
{
    CarParameters copy = parameters;
    const auto fields = carFileFields();
    return std::all_of(fields.begin(), fields.end(),
                       [&](const CarFileField& field) { return acceptsValue(field, field.in(copy)); });
}

} // namespace

std::string carFileText(const CarParameters& parameters)
{
    CarParameters copy = parameters; // the fields' accessors take a mutable value
    std::string text = "# A Torvane car, written by the car setup panel.\n";
    std::string_view table;
    for (const CarFileField& field : carFileFields()) {
        if (field.table != table) {
            table = field.table;
            text += "\n[" + std::string(table) + "]\n";
        }
        text += std::string(field.key) + " = " + numberText(field.in(copy)) + "\n";
    }
    return text;
}

bool isCarFileName(std::string_view name)
{
    const auto allowed = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    };
    return !name.empty() && name.size() <= kLongestName && std::all_of(name.begin(), name.end(), allowed);
}

std::string carFilePath(const std::string& folder, std::string_view name)
{
    return (std::filesystem::path(folder) / (std::string(name) + ".toml")).string();
}

CarFileWrite writeNewCarFile(const std::string& folder, std::string_view name, const CarParameters& parameters)
{
    if (!isCarFileName(name)) {
        return CarFileWrite::BadName;
    }
    if (!allInRange(parameters)) {
        return CarFileWrite::OutOfRange;
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string path = carFilePath(folder, name);
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
        return CarFileWrite::Exists;
    }
    return writeFileAtomically(path, carFileText(parameters)) ? CarFileWrite::Written : CarFileWrite::Failed;
}

} // namespace torvane
