#include "render/headless_device.h"

#include "core/file_contents.h"

namespace torvane {

Mesh* HeadlessDevice::loadMeshFromX(const char* path, std::vector<MeshMaterial>& materials)
{
    if (path != nullptr && readFileContents(path)) {
        addMeshFile(path, {});
    }
    return RecordingDevice::loadMeshFromX(path, materials);
}

} // namespace torvane
