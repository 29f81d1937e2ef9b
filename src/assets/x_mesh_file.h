// DirectX .x mesh files (text, binary or compressed) read through Assimp into
// CPU-side arrays: every mesh of the file with its frames' transforms applied,
// in the file's own left-handed coordinates, clockwise front faces and texture
// coordinates (v = 0 at the image's top row), triangles grouped into one subset
// per material.
//
// readXMeshFile parses in a long-lived child process (MeshReaderProcess),
// confined to its socket by a seccomp filter, so that a file on which Assimp
// crashes, that costs it too much memory or time, or that takes it over, is
// refused like any unreadable file instead of ending, stalling or reaching
// beyond the game. Assimp itself is in a module of the program's
// (libtorvane-xmesh.so, core/program_module.h) that only the reader's child
// loads, before it confines itself: the game does not pay for mapping and
// relocating Assimp at start-up.
//
// Shortcomings: polygons are split into fans from their first corner, which is
// wrong for concave polygons; vertices are not shared between faces; skinning and
// animation are ignored; a mesh without a material list in a file that has
// materials elsewhere is drawn with the file's first material. Assimp 5.2 refuses
// a material list shorter than the face list (unless it has one entry), reads
// "1,0" as the number 1.0, leaks a little on a truncated file, and reads past its
// vertex array when a face names the index one past the last vertex.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "math/vector3.h"

namespace torvane {

struct MeshVertex {
    Vector3 position;
    Vector3 normal; // zero when the file has no normals
    float u = 0.0f;
    float v = 0.0f;
};

// A colour as a mesh file writes it, each channel 0 to 1.
struct MeshFileColour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    constexpr bool operator==(const MeshFileColour&) const = default;
};

// How one material of a mesh file lights: a .x material has no ambient colour.
struct MeshFileSurface {
    MeshFileColour diffuse;
    MeshFileColour specular;
    MeshFileColour emissive;
    float power = 0.0f; // the specular exponent

    constexpr bool operator==(const MeshFileSurface&) const = default;
};

// One material of a mesh file and the texture file it names ("" for none).
struct MeshFileMaterial {
    MeshFileSurface surface;
    std::string textureFile;
};

struct MeshData {
    std::vector<MeshVertex> vertices;
    // One list of index triples per material; subsetIndices.size() == materials.size().
    std::vector<std::vector<std::uint32_t>> subsetIndices;
    // Texture names are as written in the file, except that Assimp turns a
    // doubled backslash into a single one.
    std::vector<MeshFileMaterial> materials;
};

// nullopt when the file is missing, is not a .x file, does not parse or holds a
// number that is not finite (Assimp reads "1e39" as infinity), or when parsing
// it crashes or exceeds the default MeshReaderLimits. A file without materials
// gives no subsets and no vertices. Parsed by one reader process shared by the
// whole program; not for concurrent use.
std::optional<MeshData> readXMeshFile(const char* path);
// The same for a file already in memory, parsed in this process; also nullopt
// when the importer module cannot be loaded.
std::optional<MeshData> readXMeshMemory(std::span<const std::uint8_t> data);

// The importer module's file name.
inline constexpr const char* kXMeshModule = "libtorvane-xmesh.so";
// Loads the importer module now, as the reader's child does before it confines
// itself; false, with error saying why, when it cannot be loaded.
bool loadXMeshImporter(std::string& error);

} // namespace torvane
