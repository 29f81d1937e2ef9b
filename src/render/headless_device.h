// HeadlessDevice: the recording device for runs without a picture (the replay
// tool's --no-render). Every mesh file that exists on disk loads as a mesh with
// no subsets, so the scene draws nothing while a missing file is still reported
// the way the OpenGL device reports it.
//
// Shortcomings: a file that exists but would not parse still loads; textures
// are never asked for, since a mesh without subsets names none.
#pragma once

#include "render/recording_device.h"

namespace torvane {

class HeadlessDevice final : public RecordingDevice {
public:
    Mesh* loadMeshFromX(const char* path, std::vector<MeshMaterial>& materials) override;
};

} // namespace torvane
