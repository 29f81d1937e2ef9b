#include "assets/x_mesh_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include "assets/mesh_reader_process.h"

namespace torvane {
namespace {

// Assimp's X importer turns the file right-handed (z negated, v flipped, winding
// reversed) and keeps the frames as nodes. Converting back to left-handed undoes
// all three; pre-transforming bakes the frames into the vertices. Validation
// guarantees that the face and material indices read below are in range.
constexpr unsigned kImportFlags =
    aiProcess_ConvertToLeftHanded | aiProcess_PreTransformVertices | aiProcess_ValidateDataStructure;

constexpr std::array<std::uint8_t, 4> kXSignature{'x', 'o', 'f', ' '};

MeshFileColour colourOf(const aiMaterial& material, const char* key, unsigned type, unsigned index)
{
    aiColor4D colour(0.0f, 0.0f, 0.0f, 0.0f);
    material.Get(key, type, index, colour);
    return {colour.r, colour.g, colour.b, colour.a};
}

MeshFileMaterial meshMaterialOf(const aiMaterial& source)
{
    MeshFileMaterial result;
    result.surface.diffuse = colourOf(source, AI_MATKEY_COLOR_DIFFUSE);
    result.surface.specular = colourOf(source, AI_MATKEY_COLOR_SPECULAR);
    result.surface.emissive = colourOf(source, AI_MATKEY_COLOR_EMISSIVE);
    source.Get(AI_MATKEY_SHININESS, result.surface.power);
    aiString texture;
    if (source.GetTexture(aiTextureType_DIFFUSE, 0, &texture) == aiReturn_SUCCESS) {
        result.textureFile = texture.C_Str();
    }
    return result;
}

// The importer invents one unnamed material when the file has none; every
// material it reads from the file gets a name.
bool hasOnlyInventedMaterial(const aiScene& scene)
{
    aiString name;
    return scene.mNumMaterials == 1 && scene.mMaterials[0]->Get(AI_MATKEY_NAME, name) != aiReturn_SUCCESS;
}

// Appends the mesh's vertices and its faces, fanned into triangles, to its material's subset.
void appendMesh(const aiMesh& mesh, MeshData& data)
{
    const auto base = static_cast<std::uint32_t>(data.vertices.size());
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        MeshVertex vertex;
        vertex.position = {mesh.mVertices[i].x, mesh.mVertices[i].y, mesh.mVertices[i].z};
        if (mesh.HasNormals()) {
            vertex.normal = {mesh.mNormals[i].x, mesh.mNormals[i].y, mesh.mNormals[i].z};
        }
        if (mesh.HasTextureCoords(0)) {
            vertex.u = mesh.mTextureCoords[0][i].x;
            vertex.v = mesh.mTextureCoords[0][i].y;
        }
        data.vertices.push_back(vertex);
    }
    std::vector<std::uint32_t>& subset = data.subsetIndices[mesh.mMaterialIndex];
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        for (unsigned k = 1; k + 1 < face.mNumIndices; ++k) {
            subset.insert(subset.end(), {base + face.mIndices[0], base + face.mIndices[k], base + face.mIndices[k + 1]});
        }
    }
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

MeshData meshDataOf(const aiScene& scene)
{
    MeshData data;
    if (hasOnlyInventedMaterial(scene)) {
        return data;
    }
    for (unsigned i = 0; i < scene.mNumMaterials; ++i) {
        data.materials.push_back(meshMaterialOf(*scene.mMaterials[i]));
    }
    data.subsetIndices.resize(data.materials.size());
    for (unsigned i = 0; i < scene.mNumMeshes; ++i) {
        appendMesh(*scene.mMeshes[i], data);
    }
    return data;
}

} // namespace

std::optional<MeshData> readXMeshMemory(std::span<const std::uint8_t> data)
{
    // Checked here so that no other Assimp importer is ever tried on the data.
    if (data.size() < kXSignature.size() || !std::equal(kXSignature.begin(), kXSignature.end(), data.begin())) {
        return std::nullopt;
    }
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(data.data(), data.size(), kImportFlags, "x");
    if (scene == nullptr) {
        return std::nullopt;
    }
    MeshData mesh = meshDataOf(*scene);
    if (!hasOnlyFiniteNumbers(mesh)) {
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
