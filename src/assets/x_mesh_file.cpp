// The .x mesh reader's own part: the file's signature and numbers checked
// around the importer module (assets/assimp/x_mesh_import.cpp), which is
// loaded on first use, and the one reader process the program shares.
#include "assets/x_mesh_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

#include "assets/mesh_reader_process.h"
#include "core/program_module.h"

namespace torvane {
namespace {

constexpr std::array<std::uint8_t, 4> kXSignature{'x', 'o', 'f', ' '};

using ImportXMesh = bool (*)(const std::uint8_t* data, std::size_t size, MeshData* mesh);

// The importer module's function, loaded on the first call; nullptr when it cannot be had.
ImportXMesh importer(std::string* error = nullptr)
{
    static std::string loadError;
    static const auto function =
        reinterpret_cast<ImportXMesh>(programModuleFunction(kXMeshModule, "torvaneImportXMesh", loadError));
    if (error != nullptr) {
        *error = loadError;
    }
    return function;
}

bool allFinite(std::initializer_list<float> values)
{
    return std::all_of(values.begin(), values.end(), [](float value) { return std::isfinite(value); });
}

bool isFinite(const MeshFileColour& c)
{
    return allFinite({c.r, c.g, c.b, c.a});
}

// Assimp reads a number too large for a float (such as "1e39") as infinity.
bool hasOnlyFiniteNumbers(const MeshData& data)
{
    const bool verticesFinite = std::all_of(data.vertices.begin(), data.vertices.end(), [](const MeshVertex& v) {
        return allFinite({v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y, v.normal.z, v.u, v.v});
    });
    return verticesFinite && std::all_of(data.materials.begin(), data.materials.end(), [](const MeshFileMaterial& m) {
               const MeshFileSurface& material = m.surface;
               return isFinite(material.diffuse) && isFinite(material.specular) && isFinite(material.emissive) &&
                      std::isfinite(material.power);
           });
}

} // namespace

bool loadXMeshImporter(std::string& error)
{
    return importer(&error) != nullptr;
}

std::optional<MeshData> readXMeshMemory(std::span<const std::uint8_t> data)
{
    // Checked here so that no other Assimp importer is ever tried on the data.
    if (data.size() < kXSignature.size() || !std::equal(kXSignature.begin(), kXSignature.end(), data.begin())) {
        return std::nullopt;
    }
    const ImportXMesh import = importer();
    MeshData mesh;
    if (import == nullptr || !import(data.data(), data.size(), &mesh) || !hasOnlyFiniteNumbers(mesh)) {
        return std::nullopt;
    }
    return mesh;
}

std::optional<MeshData> readXMeshFile(const char* path)
{
    static MeshReaderProcess reader;
    return reader.readFile(path);
}

} // namespace torvane
