// Writing a car file: the text of a car file for any CarParameters, in the
// shipped file's tables and key order, each value written so that the reader
// takes back exactly the same float; and the writing of a new car file beside
// the others, through a temporary renamed into place.
//
// Shortcoming: the written file has no comments; the shipped file explains each key.
#pragma once

#include <string>
#include <string_view>

#include "car/car_parameters.h"

namespace torvane {

// The whole text of a car file giving parameters.
std::string carFileText(const CarParameters& parameters);

enum class CarFileWrite {
    Written,
    BadName,     // not a name the writer accepts (see isCarFileName)
    Exists,      // a file of that name is there already: it is never replaced
    OutOfRange,  // a value the reader would refuse
    Failed,      // the folder or the file could not be written
};

// True for 1 to 64 characters of ASCII letters, digits, '-' and '_': a file
// name on every system, with nothing to climb out of its folder.
bool isCarFileName(std::string_view name);

// Writes parameters into folder/name.toml, creating folder if needed, unless
// the name is refused, the file exists or a value is out of range.
CarFileWrite writeNewCarFile(const std::string& folder, std::string_view name, const CarParameters& parameters);

// The path writeNewCarFile writes for name.
std::string carFilePath(const std::string& folder, std::string_view name);

} // namespace torvane
