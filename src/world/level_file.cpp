#include "world/level_file.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace torvane {
namespace {

using RecordFields = std::array<std::string_view, 5>;

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

// "%d": nothing without a digit or when the value overflows int.
std::optional<int> scanInt(std::string_view field)
{
    const std::optional<std::string_view> text = numberStart(field);
    int value = 0;
    if (!text || std::from_chars(text->data(), text->data() + text->size(), value).ec != std::errc()) {
        return std::nullopt;
    }
    return value;
}

// "%f": nothing without a number, or when it is out of float's range or not finite.
std::optional<float> scanFloat(std::string_view field)
{
    const std::optional<std::string_view> text = numberStart(field);
    float value = 0.0f;
    if (!text || std::from_chars(text->data(), text->data() + text->size(), value).ec != std::errc() ||
        !std::isfinite(value)) {
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
    const std::optional<int> number = scanInt(field);
    if (!number || *number < 1 || *number > kMaxModelNumber) {
        return std::nullopt;
    }
    return number;
}

// The text before each of the first five commas; nothing when there are fewer.
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
    return fields;
}

// The lines between line feeds; a final line feed ends the last line rather
// than starting an empty one, and an empty text is one empty line.
std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
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
    const std::optional<float> radius = scanFloat(fields[2]);
    const std::optional<float> length = scanFloat(fields[3]);
    const std::optional<float> width = scanFloat(fields[4]);
    if (!number || !meshPath || !radius || !length || !width) {
        return std::nullopt;
    }
    return ModelRecord{*number, std::move(*meshPath), *radius, *length, *width, lineNumber};
}

std::optional<PlacementRecord> parsePlacementRecord(const RecordFields& fields, int lineNumber)
{
    const std::optional<int> number = scanModelNumber(fields[0]);
    const std::optional<float> x = scanFloat(fields[1]);
    const std::optional<float> y = scanFloat(fields[2]);
    const std::optional<float> z = scanFloat(fields[3]);
    const std::optional<float> heading = scanFloat(fields[4]);
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
    const std::vector<std::string_view> lines = splitLines(text);
    const std::optional<int> header = scanInt(lines[0]);
    if (header) {
        file.header = *header;
    } else {
        file.skipped.add(1);
    }
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i) + 1;
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
