#include "input_checks.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <chrono>
#include <cstdlib>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include <zlib.h>

#include "carfile/car_file.h"
#include "carfile/car_file_fields.h"
#include "core/content_hash.h"
#include "core/settings.h"
#include "input/key_script.h"
#include "recording/recording.h"
#include "recording/recording_codec.h"
#include "assets/image_file.h"
#include "assets/mesh_reader_process.h"
#include "assets/x_mesh_file.h"
#include "world/level_file.h"

namespace torvane {
namespace {

using Bytes = std::span<const std::uint8_t>;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

std::string_view textOf(Bytes input)
{
    return {reinterpret_cast<const char*>(input.data()), input.size()};
}

// The number of lines a level file has past a byte-order mark: LF, CRLF and a
// lone CR each end a line; a final line end ends the last line, and an empty
// text is one empty line.
int lineCountOf(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    int ends = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool crBeforeLf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        ends += (text[i] == '\n' || (text[i] == '\r' && !crBeforeLf)) ? 1 : 0;
    }
    const bool endsWithLineEnd = !text.empty() && (text.back() == '\n' || text.back() == '\r');
    return endsWithLineEnd ? std::max(ends, 1) : ends + 1;
}

// Whether every value is within bound (and so finite).
bool allWithin(std::initializer_list<float> values, float bound = std::numeric_limits<float>::max())
{
    return std::all_of(values.begin(), values.end(), [bound](float value) { return std::fabs(value) <= bound; });
}

// Whether each entry's number rises past the one before, the first past after, none past last.
template <typename Entry, typename Number>
bool risingWithin(const std::vector<Entry>& entries, Number Entry::*number, long long after, long long last)
{
    for (const Entry& entry : entries) {
        if (entry.*number <= after || entry.*number > last) {
            return false;
        }
        after = entry.*number;
    }
    return true;
}

// What both level files promise: every line is either the header, a kept
// record or a skipped line; records come in line order, with a model number in range.
template <typename Record>
std::string checkLevelFile(std::string_view text, const LevelFile<Record>& file)
{
    const int lines = lineCountOf(text);
    const int headerLines = file.skipped.count > 0 && file.skipped.firstLineNumber == 1 ? 0 : 1;
    if (std::ssize(file.records) + file.skipped.count + headerLines != lines) {
        return "records, skipped lines and header do not add up to the file's lines";
    }
    if ((file.skipped.count == 0) != (file.skipped.firstLineNumber == 0) || file.skipped.firstLineNumber > lines) {
        return "first skipped line out of range";
    }
    if (!risingWithin(file.records, &Record::lineNumber, 1, lines)) {
        return "record line numbers out of order or range";
    }
    const auto modelInRange = [](const Record& r) { return r.modelNumber >= 1 && r.modelNumber <= kMaxModelNumber; };
    return std::all_of(file.records.begin(), file.records.end(), modelInRange) ? "" : "model number out of range";
}

std::string checkModelFile(Bytes input)
{
    const ModelFile file = parseModelFile(textOf(input));
    for (const ModelRecord& record : file.records) {
        if (!allWithin({record.boundingRadius, record.footprintLength, record.footprintWidth}, kMaxLevelSize)) {
            return "model dimension beyond the level's bound";
        }
        if (record.meshPath.empty() || record.meshPath.find_first_of(" \t\n\v\f\r") != std::string::npos) {
            return "mesh path empty or with a blank";
        }
    }
    return checkLevelFile(textOf(input), file);
}

std::string checkPlacementFile(Bytes input)
{
    const PlacementFile file = parsePlacementFile(textOf(input));
    for (const PlacementRecord& record : file.records) {
        if (!allWithin({record.position.x, record.position.y, record.position.z}, kMaxLevelCoordinate) ||
            !allWithin({record.heading}, kMaxLevelHeading)) {
            return "placement beyond the level's bounds";
        }
        if (record.lineNumber > kMaxPlacementLines + 1) {
            return "placement past the last allowed line";
        }
    }
    return checkLevelFile(textOf(input), file);
}

// Subsets of whole triangles inside the vertex array, one a material, every number finite.
std::string checkMeshData(const std::optional<MeshData>& mesh)
{
    if (!mesh) {
        return "";
    }
    if (mesh->subsetIndices.size() != mesh->materials.size()) {
        return "subset count differs from material count";
    }
    for (const std::vector<std::uint32_t>& subset : mesh->subsetIndices) {
        if (subset.size() % 3 != 0) {
            return "subset not made of triangles";
        }
        if (!subset.empty() && *std::max_element(subset.begin(), subset.end()) >= mesh->vertices.size()) {
            return "vertex index out of range";
        }
    }
    for (const MeshVertex& v : mesh->vertices) {
        if (!allWithin({v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y, v.normal.z, v.u, v.v})) {
            return "non-finite vertex";
        }
    }
    for (const MeshFileMaterial& m : mesh->materials) {
        const MeshFileColour &d = m.surface.diffuse, &s = m.surface.specular, &e = m.surface.emissive;
        if (!allWithin({d.r, d.g, d.b, d.a, s.r, s.g, s.b, s.a, e.r, e.g, e.b, e.a, m.surface.power})) {
            return "non-finite material";
        }
    }
    return "";
}

// The same through the game's confined reader process: the fork, the filter,
// the socket's protocol, the limits and the new child after each death, with
// the mesh's checks on what comes back. Crashes and limits in the child are
// refusals, not faults. A child killed for a forbidden system call is a fault
// (Assimp writing a log line, opening a file the .x names), except under
// AddressSanitizer: there an allocation Assimp cannot have ends in the
// sanitizer's report, whose first write the filter refuses, and the two
// deaths cannot be told apart.
std::string checkXMeshThroughChild(Bytes input)
{
    static MeshReaderProcess reader({std::uint64_t{256} << 20, std::chrono::seconds(5)});
    const std::optional<MeshData> mesh = reader.read(input);
    if (!kAddressSanitizer && reader.lastRefusal() == FileFault::Hostile) {
        return "the confined reader was killed for a forbidden system call";
    }
    return checkMeshData(mesh);
}

std::string checkImage(const DecodedImage& decoded)
{
    if (decoded.image.has_value() != (decoded.fault == FileFault::NoFault)) {
        return "an image with a fault, or neither";
    }
    const std::optional<Image>& image = decoded.image;
    if (!image) {
        return "";
    }
    if (!isAcceptableImageSize(static_cast<std::uint32_t>(image->width), static_cast<std::uint32_t>(image->height))) {
        return "image size out of range";
    }
    if (image->rgba.size() != std::size_t{static_cast<std::uint32_t>(image->width)} * image->height * 4) {
        return "pixel buffer does not match the image size";
    }
    return "";
}

// The input with every whole chunk's CRC made right, so that changed bytes
// reach the decoder instead of stopping at libpng's checksum test.
std::vector<std::uint8_t> withPngCrcsFixed(Bytes input)
{
    std::vector<std::uint8_t> bytes(input.begin(), input.end());
    constexpr std::size_t kSignatureSize = 8;
    std::size_t offset = kSignatureSize;
    while (bytes.size() - std::min(offset, bytes.size()) >= 12) {
        const std::size_t length = std::size_t{bytes[offset]} << 24 | std::size_t{bytes[offset + 1]} << 16 |
                                   std::size_t{bytes[offset + 2]} << 8 | bytes[offset + 3];
        if (length > bytes.size() - offset - 12) {
            break;
        }
        const std::size_t crcOffset = offset + 8 + length;
        const auto crc = static_cast<std::uint32_t>(crc32(0, &bytes[offset + 4], static_cast<uInt>(length + 4)));
        for (int k = 0; k < 4; ++k) {
            bytes[crcOffset + k] = static_cast<std::uint8_t>(crc >> (24 - 8 * k));
        }
        offset = crcOffset + 4;
    }
    return bytes;
}

// The keys a script holds in a frame, from its spans one by one.
std::bitset<kKeyCount> keysHeldBySpans(const KeyScript& script, int frame)
{
    std::bitset<kKeyCount> held;
    for (const KeySpan& span : script.spans) {
        if (span.first <= frame && frame <= span.last) {
            for (const KeyCode code : span.keys) {
                held.set(code);
            }
        }
    }
    return held;
}

bool isScriptKey(KeyCode code)
{
    return std::any_of(kDrivingKeys.begin(), kDrivingKeys.end(),
                       [&](const DrivingKey& key) { return key.code == code; });
}

// A script or an error, never both; an error a readable line of text; sound
// spans; and the player agreeing with the spans at every frame where one starts
// or ends (for the first spans, to keep each input quick).
std::string checkKeyScript(Bytes input)
{
    const ParsedKeyScript parsed = parseKeyScript(textOf(input));
    if (parsed.error) {
        const std::string& message = parsed.error->message;
        const bool sound = parsed.script.spans.empty() && parsed.error->lineNumber >= 1 && !message.empty()
                           && std::all_of(message.begin(), message.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
        return sound ? "" : "error with spans, no line, or an unreadable message";
    }
    const KeyScript& script = parsed.script;
    std::vector<int> frames;
    int last = 0;
    for (const KeySpan& span : script.spans) {
        if (span.first < 1 || span.first > span.last || span.keys.empty() ||
            !std::all_of(span.keys.begin(), span.keys.end(), isScriptKey)) {
            return "unsound span";
        }
        last = std::max(last, span.last);
        if (frames.size() < 300) {
            frames.insert(frames.end(), {span.first - 1, span.first, span.last});
            if (span.last < std::numeric_limits<int>::max()) {
                frames.push_back(span.last + 1);
            }
        }
    }
    if (lastScriptFrame(script) != last) {
        return "wrong last frame";
    }
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    KeyScriptPlayer player(script);
    for (const int frame : frames) {
        if (player.keysHeldIn(frame) != keysHeldBySpans(script, frame)) {
            return "player disagrees with the spans in frame " + std::to_string(frame);
        }
    }
    return "";
}

// Parameters exactly when there are no errors, each within its field's range;
// errors with a line not past the text's end and a readable problem.
std::string checkCarFile(Bytes input)
{
    const std::string_view text = textOf(input);
    const CarFileReading reading = parseCarFile(text);
    if (reading.parameters.has_value() == !reading.errors.empty()) {
        return "parameters and errors together, or neither";
    }
    if (reading.hash != contentHash(text)) {
        return "hash not of the text";
    }
    const auto lines = std::count(text.begin(), text.end(), '\n') + 1; // the end of the text counts too
    for (const CarFileError& error : reading.errors) {
        if (error.line < 1 || error.line > lines || error.problem.empty()) {
            return "error without a line in the text, or without a problem";
        }
    }
    if (reading.parameters) {
        CarParameters parameters = *reading.parameters;
        for (const CarFileField& field : carFileFields()) {
            if (!std::isfinite(field.in(parameters)) || !acceptsValue(field, field.in(parameters))) {
                return "field out of range: " + std::string(field.table) + "." + std::string(field.key);
            }
        }
    }
    return "";
}

// Problems each naming the file and a line of the text, in line order; a
// syntax error alone, with every default; and settings that write out and read
// back the same without a problem (so every value is one the reader allows).
std::string checkSettingsFile(Bytes input)
{
    const std::string_view text = textOf(input);
    const SettingsRead read = parseSettings(text, "fuzz.toml");
    const long lines = std::count(text.begin(), text.end(), '\n') + 1;
    long previousLine = 1;
    for (const std::string& problem : read.problems) {
        const auto colon = problem.find(':', 10);
        if (!problem.starts_with("fuzz.toml:") || colon == std::string::npos || colon + 2 >= problem.size()) {
            return "a problem that does not name the file and a line";
        }
        const long line = std::strtol(problem.c_str() + 10, nullptr, 10);
        if (line < previousLine || line > lines) {
            return "a problem's line out of order or past the text";
        }
        previousLine = line;
    }
    const bool syntaxError = std::any_of(read.problems.begin(), read.problems.end(), [](const std::string& problem) {
        return problem.ends_with("; every setting keeps its default");
    });
    if (syntaxError && (read.problems.size() != 1 || !(read.settings == Settings{}))) {
        return "a syntax error with other problems or settings read";
    }
    const SettingsRead again = parseSettings(settingsText(read.settings), "again.toml");
    if (!again.problems.empty() || !(again.settings == read.settings)) {
        return "settings that do not read back as written: " + (again.problems.empty() ? "" : again.problems[0]);
    }
    return "";
}

// The recording with its header's and its chunks' CRCs made right, so that
// changed bytes reach the decoding instead of stopping at the checksums.
std::string withRecordingCrcsFixed(std::string_view input)
{
    std::string bytes(input);
    const auto fixAt = [&bytes](std::size_t crcAt, std::uint32_t crc) {
        std::string field;
        ByteWriter(field).u32(crc);
        bytes.replace(crcAt, 4, field);
    };
    constexpr std::size_t kHeaderCrcAt = 16;
    if (bytes.size() < kHeaderCrcAt + 4) {
        return bytes;
    }
    ByteReader header(std::string_view(bytes).substr(12, 4));
    const std::size_t headerSize = header.u32();
    if (headerSize > bytes.size() - kHeaderCrcAt - 4) {
        return bytes;
    }
    fixAt(kHeaderCrcAt, crc32Of(std::string_view(bytes).substr(kHeaderCrcAt + 4, headerSize)));
    std::size_t at = kHeaderCrcAt + 4 + headerSize;
    while (bytes.size() - at >= kChunkHeaderBytes && bytes.compare(at, 4, "TVCK") == 0) {
        ByteReader chunk(std::string_view(bytes).substr(at + 16, 4));
        const std::size_t packedSize = chunk.u32();
        if (packedSize > bytes.size() - at - kChunkHeaderBytes) {
            break;
        }
        const std::string_view view(bytes);
        fixAt(at + 20, crc32Of(view.substr(at + kChunkHeaderBytes, packedSize), crc32Of(view.substr(at, 20))));
        at += kChunkHeaderBytes + packedSize;
    }
    return bytes;
}

// The file read as a recording: a refusal naming the file, or a recording whose frames,
// hashes, keyframes and car texts are sound and in frame order, whole exactly when no stop is noted.
std::string checkRecordingFile(std::string_view file)
{
    const RecordingRead read = parseRecording(file, "fuzz.tvr");
    if (!read.recording) {
        return read.error.rfind("fuzz.tvr: ", 0) == 0 ? "" : "a refusal that does not name the file";
    }
    const Recording& recording = *read.recording;
    if (recording.complete != recording.stopNote.empty() || recording.frames.size() > kMaxRecordedFrames) {
        return "complete with a stop note, or cut without one, or too many frames";
    }
    for (const RecordedFrame& frame : recording.frames) {
        if (!std::isfinite(frame.frameTime) || frame.frameTime < 0.0f || std::fabs(frame.pads.steering) > 1.0f) {
            return "an unsound frame";
        }
    }
    const auto frames = std::ssize(recording.frames);
    if (!risingWithin(recording.stateChecks, &StateCheck::frame, 0, frames) ||
        !risingWithin(recording.keyframes, &FrameKeyframe::frame, 0, frames) ||
        !risingWithin(recording.carReloads, &CarReload::frame, 0, frames)) {
        return "hashes, keyframes or car texts out of frame order";
    }
    for (const CarReload& reload : recording.carReloads) {
        if (reload.text.size() > kMaxRecordedCarTextBytes) {
            return "a car text over its limit";
        }
    }
    return "";
}

// The input's first byte a frame count (1 to 256), the rest that many frame
// records, packed into one sound chunk of a sound recording: the frame
// decoding gets every byte the fuzzer makes.
std::string checkRecordingFrames(Bytes input)
{
    if (input.empty()) {
        return "";
    }
    const std::uint32_t count = input[0] + 1u;
    return checkRecordingFile(encodeRecordingHeader(RecordingHeader{}) + encodeChunk(1, count, textOf(input.subspan(1)))
                              + encodeEndMark(count, RecordingEnd::DriveEnded));
}

struct NamedCheck {
    std::string_view name;
    InputCheck check;
};

constexpr std::array kChecks{
    NamedCheck{"model_file", checkModelFile},
    NamedCheck{"placement_file", checkPlacementFile},
    NamedCheck{"x_mesh", [](Bytes input) { return checkMeshData(readXMeshMemory(input)); }},
    NamedCheck{"x_mesh_child", checkXMeshThroughChild},
    NamedCheck{"png", [](Bytes input) { return checkImage(decodePng(withPngCrcsFixed(input))); }},
    NamedCheck{"jpeg", [](Bytes input) { return checkImage(decodeJpeg(input)); }},
    NamedCheck{"key_script", checkKeyScript},
    NamedCheck{"car_file", checkCarFile},
    NamedCheck{"settings_file", checkSettingsFile},
    NamedCheck{"recording", [](Bytes input) { return checkRecordingFile(withRecordingCrcsFixed(textOf(input))); }},
    NamedCheck{"recording_frames", checkRecordingFrames},
};

} // namespace

InputCheck inputCheckNamed(std::string_view name)
{
    const auto* found = std::find_if(kChecks.begin(), kChecks.end(), [&](const NamedCheck& c) { return c.name == name; });
    return found == kChecks.end() ? nullptr : found->check;
}

} // namespace torvane
