// Level files: the parsers of the city's model file ("maps/city.ldo") and
// placement file ("maps/city.map"). Line 1 of either is a header integer; every
// further line is one record of five fields, each followed by a comma, and
// whatever follows the fifth comma (a carriage return, a comment) is ignored.
// A field reads like one scanf conversion on its text: "%d", "%f" or "%s".
//
// The parsers take the file's text and keep only sound records. A line is
// skipped, and counted, when it has fewer than five commas (a blank line
// included), a field does not parse, a number is not finite, a model number is
// outside 1 to kMaxModelNumber, or it is a placement line past the
// kMaxPlacementLines-th. A header that does not parse reads as 0 and counts as
// skipped line 1; an empty file is a file whose line 1 is empty.
//
// Short of scanf: an integer beyond int, or a number beyond float's range
// (too large, or so small it would round to zero), does not parse, and a
// hexadecimal number such as "0x10" reads as its leading 0. Whether a
// placement names a model that actually loaded is for the caller to check.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "math/vector3.h"

namespace torvane {

inline constexpr int kMaxModelNumber = 100;
inline constexpr int kMaxPlacementLines = 150;

struct SkippedLines {
    int count = 0;
    int firstLineNumber = 0; // 1-based, the header being line 1; 0 while count is 0

    // Counts one more skipped line; firstLineNumber keeps the lowest.
    void add(int lineNumber);
};

struct ModelRecord {
    int modelNumber = 0; // 1 to kMaxModelNumber
    std::string meshPath;
    float boundingRadius = 0.0f;
    float footprintLength = 0.0f; // along local z
    float footprintWidth = 0.0f;  // along local x
    int lineNumber = 0;
};

struct PlacementRecord {
    int modelNumber = 0; // 1 to kMaxModelNumber
    Vector3 position;
    float heading = 0.0f; // radians
    int lineNumber = 0;   // placement line k (from 0) is line k + 2
};

template <typename Record>
struct LevelFile {
    int header = 0;
    std::vector<Record> records; // in line order
    SkippedLines skipped;
};

using ModelFile = LevelFile<ModelRecord>;
using PlacementFile = LevelFile<PlacementRecord>;

ModelFile parseModelFile(std::string_view text);
PlacementFile parsePlacementFile(std::string_view text);

} // namespace torvane
