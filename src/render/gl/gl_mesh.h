// GlMesh: a mesh file's vertices in one vertex buffer and its subsets' indices
// back to back in one index buffer, behind one vertex array; each subset keeps
// the bounding box of the vertices its triangles use, so that a subset wholly
// outside the view is never sent.
//
// Shortcomings: vertices are not shared between meshes; a mesh is never
// changed after it is made.
#pragma once

#include <SDL_opengl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "assets/x_mesh_file.h"
#include "math/matrix4.h"
#include "render/graphics_device.h"

namespace torvane {

// A box in a mesh's own coordinates, from its lowest to its highest corner.
struct BoundingBox {
    Vector3 low;
    Vector3 high;
};

// Whether no point of box can land in the view volume of worldViewProjection:
// all eight corners lie beyond one and the same clip plane (depth 0..w). The
// planes are widened by a hair, so that rounding never drops a visible draw.
bool outsideView(const BoundingBox& box, const Matrix4& worldViewProjection);

class GlMesh final : public Mesh {
public:
    explicit GlMesh(const MeshData& data);
    ~GlMesh() override;
    GlMesh(const GlMesh&) = delete;
    GlMesh& operator=(const GlMesh&) = delete;

    std::uint32_t subsetCount() const override { return static_cast<std::uint32_t>(ranges.size()); }

    // Whether the subset has triangles that may show through worldViewProjection.
    bool mayShow(std::uint32_t subset, const Matrix4& worldViewProjection) const;

    // Draws the subset, binding the mesh's vertex array unless boundVertexArray says it is bound.
    void draw(std::uint32_t subset, GLuint& boundVertexArray) const;

private:
    struct Range {
        GLsizei count;
        std::size_t firstIndex;
        BoundingBox bounds; // of the vertices the subset's triangles use
    };

    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
    GLuint indexBuffer = 0;
    std::vector<Range> ranges;
};

} // namespace torvane
