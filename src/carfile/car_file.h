// The car file: a TOML file giving every constant of the car's model (see
// game/cars/car.toml and carFileFields for its tables, keys and ranges).
// Reading it checks every field: present, a number (integer or float), finite,
// within its range; a key or table the car does not have is an error too.
// Every error names its line and field, so a file is either taken whole or
// refused whole.
//
// Shortcomings: each value is read as a double and then rounded to a float, so
// a decimal lying almost exactly between two floats may land one float away
// from its nearest (the shipped file's values all land exactly); a file over
// kMaxCarFileBytes is refused unread, and so is a symbolic link, a pipe or a
// device (car files are shared between players).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "car/car_parameters.h"
#include "core/file_contents.h"

namespace torvane {

// Four times the shipped file. It also bounds toml++'s recursion over a dotted
// key (a.a.a..., one table level per two bytes), which overflows an 8 MiB stack
// past about 30,000 levels.
inline constexpr std::uintmax_t kMaxCarFileBytes = std::uintmax_t{16} * 1024;

struct CarFileError {
    int line = 0;         // from 1; 0 when the error is the file's as a whole
    std::string field;    // "tyres.grip_factor", a table's name, or empty for a syntax error
    std::string problem;  // what is wrong, in English
};

struct CarFileReading {
    std::optional<CarParameters> parameters;  // set exactly when errors is empty
    std::vector<CarFileError> errors;         // in line order
    std::uint64_t hash = 0;                   // contentHash of the file's bytes; 0 when unread
    std::string text;                         // the file's bytes as read by readCarFile; empty when unread
    FileFault fault = FileFault::NoFault;     // why readCarFile could not read the file; NoFault once read
};

// Parses the text of a car file.
CarFileReading parseCarFile(std::string_view text);

// Reads and parses the file at path (the file itself: a symbolic link is refused).
CarFileReading readCarFile(const std::string& path);

// "path:line: field: problem", leaving out a line of 0 and an empty field.
std::string formatCarFileError(std::string_view path, const CarFileError& error);

} // namespace torvane
