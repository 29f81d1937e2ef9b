// CityMap: the city level, a fixed table of object models (a mesh with collision
// dimensions each) and a fixed table of placed objects (copies of models with
// their own position and heading), in the order of the placement file's lines.
//
// Five placed objects, at fixed indices, are the collision volumes the collision
// pass tests the car against; which obstacles stand there is decided by the
// level files.
#pragma once

#include <array>
#include <cstdint>

#include "world/level_file.h"
#include "world/scene_object.h"

namespace torvane {

// The city's model and placement files, relative to the data folder.
inline constexpr const char* kCityModelFile = "maps/city.ldo";
inline constexpr const char* kCityPlacementFile = "maps/city.map";


// clang-tidy takes the loop index of the implicit copy of the object arrays (a
// ghost drives in a copy of the city) for a reserved identifier of ours.
class CityMap { // NOLINT(bugprone-reserved-identifier)
public:
    static constexpr int kMaxObjectModels = kMaxModelNumber;
    static constexpr int kMaxPlacedObjects = kMaxPlacementLines;
    // Placed objects that act as obstacles, in the order the collision pass tests them.
    static constexpr std::array<int, 5> kCollisionVolumes = {99, 97, 98, 101, 102};

    // Loads the model file "maps/city.ldo", then the placement file "maps/city.map".
    void load(GraphicsDevice* targetDevice);
    // Fills objectModels from a model file, loading each model's mesh on device.
    bool loadModels(const char* path, GraphicsDevice* targetDevice);
    // Fills placedObjects with copies of models placed by the file's lines.
    bool loadPlacedObjects(const char* path);
    // Draws placed objects 0 .. placedObjectCount - 1.
    void draw() const;

    std::int32_t getModelCount() const { return modelCount; }
    std::int32_t getPlacedObjectCount() const { return placedObjectCount; }

    // Model index 0..kMaxObjectModels-1 (the model file's number n at n - 1).
    SceneObject& objectModel(int index);
    // Placed object index 0..kMaxPlacedObjects-1, in placement-line order.
    SceneObject& placedObject(int index);
    const SceneObject& placedObject(int index) const;

    // Number of leading placedObjects slots that placement lines have filled;
    // clamped to 0..kMaxPlacedObjects.
    int getLoadedPlacementCount() const { return loadedPlacementCount; }
    void setLoadedPlacementCount(int count);

private:
    std::int32_t modelCount = 0;        // header of the model file; stored only
    std::int32_t placedObjectCount = 0; // header of the placement file; placed objects drawn
    SceneObject objectModels[kMaxObjectModels];
    bool modelDefined[kMaxObjectModels] = {};  // a line of the model file filled the slot
    SceneObject placedObjects[kMaxPlacedObjects];
    int loadedPlacementCount = 0;       // slots filled by placement lines, from index 0
};

} // namespace torvane
