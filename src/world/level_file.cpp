#include "world/level_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace torvane {
namespace {

using RecordFields = std::array<std::string_view, 5>;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// White space as scanf skips it in the C locale.
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view skipBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

// The field past its blanks and a '+' sign, which from_chars does not take;
// nothing for "+-", which scanf rejects too.
std::optional<std::string_view> numberStart(std::string_view field)
{
    field = skipBlanks(field);
    if (field.starts_with('+')) {
        field.remove_prefix(1);
        if (field.starts_with('-')) {
            return std::nullopt;
        }
    }
    return field;
}

// The whole field as one number: nothing without one, when it overflows Number,
// or when anything but blanks follows it ("44abc", "0x10", "1.5 m"), where
// scanf would read 44, 0 and 1.5 and stop.
template <typename Number>
std::optional<Number> scanWholeNumber(std::string_view field)
{
    const std::optional<std::string_view> text = numberStart(field);
    if (!text) {
        return std::nullopt;
    }
    const char* end = text->data() + text->size();
    Number value{};
    const std::from_chars_result result = std::from_chars(text->data(), end, value);
    if (result.ec != std::errc() || !skipBlanks({result.ptr, static_cast<std::size_t>(end - result.ptr)}).empty()) {
        return std::nullopt;
    }
    return value;
}

// "%f" for a value the level can hold: nothing beyond maxMagnitude (NaN and
// the infinities included).
std::optional<float> scanBoundedFloat(std::string_view field, float maxMagnitude)
{
    const std::optional<float> value = scanWholeNumber<float>(field);
    if (!value || !(std::fabs(*value) <= maxMagnitude)) {
        return std::nullopt;
    }
    return value;
}

// "%s": the first word after the blanks; nothing when the field is blank.
std::optional<std::string> scanWord(std::string_view field)
{
    field = skipBlanks(field);
    std::size_t length = 0;
    while (length < field.size() && !isBlank(field[length])) {
        ++length;
    }
    if (length == 0) {
        return std::nullopt;
    }
    return std::string(field.substr(0, length));
}

std::optional<int> scanModelNumber(std::string_view field)
{
    const std::optional<int> number = scanWholeNumber<int>(field);
    if (!number || *number < 1 || *number > kMaxModelNumber) {
        return std::nullopt;
    }
    return number;
}

// Whether the text after the fifth comma starts with a number: a sixth field,
// as when a decimal comma ("0,00") splits a number in two and shifts the rest.
// Any other text there is a comment.
bool startsWithExtraField(std::string_view rest)
{
    return scanWholeNumber<double>(rest.substr(0, rest.find(','))).has_value();
}

// The text before each of the first five commas; nothing when there are fewer
// or a sixth field follows.
std::optional<RecordFields> splitRecord(std::string_view line)
{
    RecordFields fields;
    for (std::string_view& field : fields) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos) {
            return std::nullopt;
        }
        field = line.substr(0, comma);
        line.remove_prefix(comma + 1);
    }
    if (startsWithExtraField(line)) {
        return std::nullopt;
    }
    return fields;
}

// The lines of text, ended by LF, CRLF or a lone CR; a final line end ends the
// last line rather than starting an empty one, and an empty text is one empty line.
std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find_first_of("\r\n"); end != std::string_view::npos;
         end = text.find_first_of("\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        start = end + (crlf ? 2 : 1);
    }
    if (start < text.size() || lines.empty()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

std::optional<ModelRecord> parseModelRecord(const RecordFields& fields, int lineNumber)
{
    const std::optional<int> number = scanModelNumber(fields[0]);
    std::optional<std::string> meshPath = scanWord(fields[1]);
    const std::optional<float> radius = scanBoundedFloat(fields[2], kMaxLevelSize);
    const std::optional<float> length = scanBoundedFloat(fields[3], kMaxLevelSize);
    const std::optional<float> width = scanBoundedFloat(fields[4], kMaxLevelSize);
    if (!number || !meshPath || !radius || !length || !width) {
        return std::nullopt;
    }
    return ModelRecord{*number, std::move(*meshPath), *radius, *length, *width, lineNumber};
}

std::optional<PlacementRecord> parsePlacementRecord(const RecordFields& fields, int lineNumber)
{
    const std::optional<int> number = scanModelNumber(fields[0]);
    const std::optional<float> x = scanBoundedFloat(fields[1], kMaxLevelCoordinate);
    const std::optional<float> y = scanBoundedFloat(fields[2], kMaxLevelCoordinate);
    const std::optional<float> z = scanBoundedFloat(fields[3], kMaxLevelCoordinate);
    const std::optional<float> heading = scanBoundedFloat(fields[4], kMaxLevelHeading);
    if (!number || !x || !y || !z || !heading) {
        return std::nullopt;
    }
    return PlacementRecord{*number, Vector3{*x, *y, *z}, *heading, lineNumber};
}

// The shape both files share: the header, then up to maxRecordLines record
// lines, each kept when parseRecord accepts it.
template <typename Record>
LevelFile<Record> parseLevelFile(std::string_view text, int maxRecordLines,
                                 std::optional<Record> (*parseRecord)(const RecordFields&, int))
{
    LevelFile<Record> file;
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    const std::vector<std::string_view> lines = splitLines(text);
    const std::optional<int> header = scanWholeNumber<int>(lines[0]);
    if (header) {
        file.header = *header;
    } else {
        file.skipped.add(1);
    }
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(std::min<std::size_t>(i + 1, std::numeric_limits<int>::max()));
        const std::optional<RecordFields> fields = splitRecord(lines[i]);
        std::optional<Record> record;
        if (fields && lineNumber - 1 <= maxRecordLines) {
            record = parseRecord(*fields, lineNumber);
        }
        if (record) {
            file.records.push_back(std::move(*record));
        } else {
            file.skipped.add(lineNumber);
        }
    }
    return file;
}

} // namespace

void SkippedLines::add(int lineNumber)
{
    if (count == 0 || lineNumber < firstLineNumber) {
        firstLineNumber = lineNumber;
    }
    ++count;
}

ModelFile parseModelFile(std::string_view text)
{
    return parseLevelFile(text, std::numeric_limits<int>::max(), parseModelRecord);
}

PlacementFile parsePlacementFile(std::string_view text)
{
    return parseLevelFile(text, kMaxPlacementLines, parsePlacementRecord);
}

} // namespace torvane
