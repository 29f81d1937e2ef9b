// Loading and drawing of the city map: the model file fills objectModels, the
// placement file fills placedObjects with copies of them, in line order.
#include <algorithm>

#include "core/file_contents.h"
#include "core/message_sink.h"
#include "core/player_messages.h"
#include "world/city_map.h"
#include "world/level_file.h"

namespace torvane {
namespace {

// The file's text, or nothing after telling the player it cannot be opened.
std::optional<std::string> openLevelFile(const char* path)
{
    std::optional<std::string> text = readFileContents(path);
    if (!text) {
        showBox(kErrorCaption, cannotOpenFileMessage(path));
    }
    return text;
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
    loadModels("maps/city.ldo", targetDevice);
    loadPlacedObjects("maps/city.map");
}

bool CityMap::loadModels(const char* path, GraphicsDevice* targetDevice)
{
    const std::optional<std::string> text = openLevelFile(path);
    if (!text) {
        return false;
    }
    const ModelFile file = parseModelFile(*text);
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
    if (!text) {
        return false;
    }
    const PlacementFile file = parsePlacementFile(*text);
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
