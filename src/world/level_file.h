// Level files: the parsers of the city's model file ("maps/city.ldo") and
// placement file ("maps/city.map"). Line 1 of either is a header integer; every
// further line is one record of five fields, each followed by a comma, and
// whatever follows the fifth comma (a carriage return, a comment) is ignored
// unless it starts with a number: that is a sixth field, the mark of a number
// written with a decimal comma. Lines end with LF, CRLF or a lone CR; a UTF-8
// byte-order mark before line 1 is skipped. A field reads like one scanf
// conversion on its text ("%d", "%f" or "%s"), except that a number field must
// hold the number and nothing else but blanks ("44abc" and "0x10" are refused).
//
// The parsers take the file's text and keep only sound records. A line is
// skipped, and counted, when it has fewer than five commas (a blank line
// included) or a sixth field, a field does not parse, a number is beyond what
// the level can hold (kMaxLevelCoordinate, kMaxLevelSize, kMaxLevelHeading; NaN
// and infinities included), a model number is outside 1 to kMaxModelNumber, or
// it is a placement line past the kMaxPlacementLines-th. A header that does not
// parse reads as 0 and counts as skipped line 1; an empty file is a file whose
// line 1 is empty.
//
// Short of scanf: an integer beyond int, or a number beyond float's range
// (too large, or so small it would round to zero), does not parse. Whether a
// placement names a model that actually loaded is for the caller to check.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "math/vector3.h"

namespace torvane {

inline constexpr int kMaxModelNumber = 100;
inline constexpr int kMaxPlacementLines = 150;
// The largest level file read: a hundred model lines or 150 placement lines
// take a few kilobytes.
inline constexpr std::size_t kMaxLevelFileBytes = std::size_t{1} << 20;
// The largest magnitudes a level holds. A coordinate, world units: the city
// spans about a thousand, and the collision arithmetic squares differences of
// coordinates, which stays far inside float at a million.
inline constexpr float kMaxLevelCoordinate = 1.0e6f;
// A bounding radius or footprint side, world units.
inline constexpr float kMaxLevelSize = 1.0e5f;
// A heading, radians: a thousand is about 160 turns; beyond that a float
// heading has lost most of its precision.
inline constexpr float kMaxLevelHeading = 1.0e3f;

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
