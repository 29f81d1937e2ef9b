// The .x importer module (libtorvane-xmesh.so): Assimp's scene of a .x file
// turned into the mesh's arrays. Loaded on first use (assets/x_mesh_file.h):
// in the game only by the mesh reader's child, so that the game itself never
// maps Assimp.
#include "assets/x_mesh_file.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

namespace torvane {
namespace {

// Assimp's X importer turns the file right-handed (z negated, v flipped, winding
// reversed) and keeps the frames as nodes. Converting back to left-handed undoes
// all three; pre-transforming bakes the frames into the vertices. Validation
// guarantees that the face and material indices read below are in range.
constexpr unsigned kImportFlags =
    aiProcess_ConvertToLeftHanded | aiProcess_PreTransformVertices | aiProcess_ValidateDataStructure;

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
} // namespace torvane

// The scene Assimp makes of data, a .x file, as the mesh's arrays; false when
// Assimp refuses the file.
extern "C" bool torvaneImportXMesh(const std::uint8_t* data, std::size_t size, torvane::MeshData* mesh)
{
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(data, size, torvane::kImportFlags, "x");
    if (scene == nullptr) {
        return false;
    }
    *mesh = torvane::meshDataOf(*scene);
    return true;
}
