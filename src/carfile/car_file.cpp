#include "carfile/car_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <toml++/toml.h>

#include "carfile/car_file_fields.h"
#include "core/content_hash.h"
#include "core/file_contents.h"

namespace torvane {
namespace {

int lineOf(const toml::source_region& region)
{
    return static_cast<int>(region.begin.line);
}

bool isKnownTable(std::string_view name)
{
    const auto fields = carFileFields();
    return std::any_of(fields.begin(), fields.end(), [&](const CarFileField& f) { return f.table == name; });
}

bool isKnownKey(std::string_view table, std::string_view key)
{
    const auto fields = carFileFields();
    return std::any_of(fields.begin(), fields.end(),
                       [&](const CarFileField& f) { return f.table == table && f.key == key; });
}

std::string qualified(std::string_view table, std::string_view key)
{
    return std::string(table) + "." + std::string(key);
}

// "[0, 100]" or "(0, 100]".
std::string rangeText(const CarFileField& field)
{
    char text[64];
    std::snprintf(text, sizeof text, "%s%g, %g]", field.lowestExcluded ? "(" : "[",
                  static_cast<double>(field.lowest), static_cast<double>(field.highest));
    return text;
}

// The field's value from node into parameters; the error when there is none to take.
std::optional<CarFileError> readField(const CarFileField& field, const toml::node& node, CarParameters& parameters)
{
    const int line = lineOf(node.source());
    const std::string name = qualified(field.table, field.key);
    double value = 0.0;
    if (const auto* whole = node.as_integer()) {
        value = static_cast<double>(whole->get());
    } else if (const auto* real = node.as_floating_point()) {
        value = real->get();
    } else {
        return CarFileError{line, name, "expected a number"};
    }
    const auto rounded = static_cast<float>(value);
    if (!std::isfinite(value) || !std::isfinite(rounded)) {
        return CarFileError{line, name, "not a finite number"};
    }
    if (!acceptsValue(field, rounded)) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", value);
        return CarFileError{line, name, std::string(text) + " is outside " + rangeText(field)};
    }
    field.in(parameters) = rounded;
    return std::nullopt;
}

// Keys and tables the car does not have.
void findUnknownKeys(const toml::table& root, std::vector<CarFileError>& errors)
{
    for (const auto& [key, node] : root) {
        const std::string_view table = key.str();
        if (!isKnownTable(table)) {
            errors.push_back({lineOf(key.source()), std::string(table), "unknown table"});
            continue;
        }
        const toml::table* entries = node.as_table();
        if (entries == nullptr) {
            errors.push_back({lineOf(key.source()), std::string(table), "expected a table"});
            continue;
        }
        for (const auto& [entryKey, entry] : *entries) {
            if (!isKnownKey(table, entryKey.str())) {
                errors.push_back({lineOf(entryKey.source()), qualified(table, entryKey.str()), "unknown key"});
            }
        }
    }
}

// Every field from its table; a missing field is named at its table's line.
void readFields(const toml::table& root, CarParameters& parameters, std::vector<CarFileError>& errors)
{
    std::string_view missingTable;
    for (const CarFileField& field : carFileFields()) {
        const toml::table* table = root[field.table].as_table();
        if (table == nullptr) {
            if (root.contains(field.table) || field.table == missingTable) {
                continue; // named once already, as not a table or as missing
            }
            missingTable = field.table;
            errors.push_back({1, std::string(field.table), "missing table"});
            continue;
        }
        const toml::node* node = table->get(field.key);
        if (node == nullptr) {
            errors.push_back({lineOf(table->source()), qualified(field.table, field.key), "missing"});
        } else if (std::optional<CarFileError> error = readField(field, *node, parameters)) {
            errors.push_back(std::move(*error));
        }
    }
}

} // namespace

CarFileReading parseCarFile(std::string_view text)
{
    CarFileReading reading;
    reading.hash = contentHash(text);
    toml::table root;
    try {
        root = toml::parse(text);
    } catch (const toml::parse_error& error) {
        reading.errors.push_back({lineOf(error.source()), "", std::string(error.description())});
        return reading;
    }
    CarParameters parameters;
    findUnknownKeys(root, reading.errors);
    readFields(root, parameters, reading.errors);
    std::stable_sort(reading.errors.begin(), reading.errors.end(),
                     [](const CarFileError& a, const CarFileError& b) { return a.line < b.line; });
    if (reading.errors.empty()) {
        reading.parameters = parameters;
    }
    return reading;
}

CarFileReading readCarFile(const std::string& path)
{
    FileRead file = readFile(path.c_str(), kMaxCarFileBytes, FinalLink::Refuse);
    if (!file.contents) {
        const std::string problem = file.fault == FileFault::TooLarge
                                        ? "larger than " + std::to_string(kMaxCarFileBytes) + " bytes"
                                        : fileFaultReason(file.fault);
        return CarFileReading{std::nullopt, {{0, "", problem}}, 0, {}, file.fault};
    }
    CarFileReading reading = parseCarFile(*file.contents);
    reading.text = std::move(*file.contents);
    return reading;
}

std::string formatCarFileError(std::string_view path, const CarFileError& error)
{
    std::string text(path);
    if (error.line > 0) {
        text += ":" + std::to_string(error.line);
    }
    if (!error.field.empty()) {
        text += ": " + error.field;
    }
    return text + ": " + error.problem;
}

} // namespace torvane
