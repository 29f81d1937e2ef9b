// The game's scene on the recording device, without a data folder: the car and
// the sky load as meshes of plain materials, the overlay's font exists, and the
// city stays empty (no level files where the tests run).
#pragma once

#include <memory>
#include <vector>

#include "app/game.h"
#include "render/recording_device.h"

namespace torvane {

struct RecordedScene {
    explicit RecordedScene(std::size_t carMaterials = 1)
    {
        device.addMeshFile("objets/cars/mycar.x", std::vector<MeshMaterial>(carMaterials));
        device.addMeshFile("objets/skybox/skydome.x", {MeshMaterial{}});
        device.createFont(20);
        start(*game);
        device.clearLog();
    }

    // Sets up another game on the same device.
    void start(Game& other)
    {
        other.device = &device;
        setupScene(other);
    }

    RecordingDevice device;
    std::unique_ptr<Game> game = std::make_unique<Game>();
};

} // namespace torvane
