// Loading and drawing of the city map: the model file fills objectModels, the
// placement file fills placedObjects with copies of them, in line order.
#include <algorithm>
#include <new>

#include "core/file_contents.h"
#include "core/load_report.h"
#include "core/message_sink.h"
#include "core/player_messages.h"
#include "world/city_map.h"
#include "world/level_file.h"

namespace torvane {
namespace {

// The file's text, or nothing after telling the player it cannot be opened.
std::optional<std::string> openLevelFile(const char* path)
{
    FileRead file = readFile(path, kMaxLevelFileBytes);
    if (!file.contents) {
        reportFileProblem(FileProblemKind::LevelFile, path, file.fault);
    }
    return std::move(file.contents);
}

// The parsed file, or nothing after telling the player it was too much for memory.
template <typename File>
std::optional<File> parseLevelText(const char* path, const std::string& text, File (*parse)(std::string_view))
{
    try {
        return parse(text);
    } catch (const std::bad_alloc&) {
        reportFileProblem(FileProblemKind::LevelFile, path, FileFault::TooLarge);
        return std::nullopt;
    }
}

void reportSkippedLines(const char* path, SkippedLines skipped)
{
    if (skipped.count > 0) {
        showBox(kErrorCaption, skippedLinesMessage(path, skipped.count, skipped.firstLineNumber));
    }
}

} // namespace

void CityMap::load(GraphicsDevice* targetDevice)
{
    const ScopedLoadReport report;
    loadModels(kCityModelFile, targetDevice);
    loadPlacedObjects(kCityPlacementFile);
}

bool CityMap::loadModels(const char* path, GraphicsDevice* targetDevice)
{
    const std::optional<std::string> text = openLevelFile(path);
    const std::optional<ModelFile> parsed = text ? parseLevelText(path, *text, parseModelFile) : std::nullopt;
    if (!parsed) {
        return false;
    }
    const ModelFile& file = *parsed;
    modelCount = file.header;
    for (const ModelRecord& record : file.records) {
        const int index = record.modelNumber - 1;
        SceneObject& model = objectModels[index];
        model.loadMesh(targetDevice, record.meshPath.c_str());
        model.setPosition({0.0f, 0.0f, 0.0f});
        model.setBoundingRadius(record.boundingRadius);
        model.setFootprintLength(record.footprintLength);
        model.setFootprintWidth(record.footprintWidth);
        modelDefined[index] = true;
    }
    reportSkippedLines(path, file.skipped);
    return true;
}

bool CityMap::loadPlacedObjects(const char* path)
{
    const std::optional<std::string> text = openLevelFile(path);
    const std::optional<PlacementFile> parsed = text ? parseLevelText(path, *text, parsePlacementFile) : std::nullopt;
    if (!parsed) {
        return false;
    }
    const PlacementFile& file = *parsed;
    SkippedLines skipped = file.skipped;
    int filled = 0;
    for (const PlacementRecord& record : file.records) {
        const int model = record.modelNumber - 1;
        if (!modelDefined[model]) {
            skipped.add(record.lineNumber); // a copy of a model no line defined would be empty
            continue;
        }
        SceneObject& placed = placedObjects[filled];
        placed = objectModels[model];
        placed.setPosition(record.position);
        placed.setHeading(record.heading);
        ++filled;
    }
    setLoadedPlacementCount(filled);
    placedObjectCount = std::clamp(file.header, 0, filled);
    reportSkippedLines(path, skipped);
    return true;
}

void CityMap::draw() const
{
    for (int i = 0; i < placedObjectCount; ++i) {
        placedObjects[i].draw();
    }
}

} // namespace torvane
