#include "render/gl/gl_mesh.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace torvane {
namespace {

BoundingBox boundsOf(const MeshData& data, const std::vector<std::uint32_t>& subset)
{
    BoundingBox box{};
    for (std::size_t i = 0; i < subset.size(); ++i) {
        const Vector3 p = data.vertices[subset[i]].position;
        if (i == 0) {
            box = {p, p};
        }
        box.low = {std::min(box.low.x, p.x), std::min(box.low.y, p.y), std::min(box.low.z, p.z)};
        box.high = {std::max(box.high.x, p.x), std::max(box.high.y, p.y), std::max(box.high.z, p.z)};
    }
    return box;
}

} // namespace

bool outsideView(const BoundingBox& box, const Matrix4& worldViewProjection)
{
    constexpr float kMargin = 1e-4f;
    int beyond[6] = {};
    for (int corner = 0; corner < 8; ++corner) {
        const float x = (corner & 1) != 0 ? box.high.x : box.low.x;
        const float y = (corner & 2) != 0 ? box.high.y : box.low.y;
        const float z = (corner & 4) != 0 ? box.high.z : box.low.z;
        const Matrix4& m = worldViewProjection;
        float clip[4];
        for (int k = 0; k < 4; ++k) {
            clip[k] = x * m.m[0][k] + y * m.m[1][k] + z * m.m[2][k] + m.m[3][k];
        }
        const float w = clip[3] + kMargin * std::fabs(clip[3]);
        beyond[0] += clip[0] < -w ? 1 : 0;
        beyond[1] += clip[0] > w ? 1 : 0;
        beyond[2] += clip[1] < -w ? 1 : 0;
        beyond[3] += clip[1] > w ? 1 : 0;
        beyond[4] += clip[2] < -kMargin * std::fabs(clip[3]) ? 1 : 0;
        beyond[5] += clip[2] > w ? 1 : 0;
    }
    return std::any_of(std::begin(beyond), std::end(beyond), [](int count) { return count == 8; });
}

GlMesh::GlMesh(const MeshData& data)
{
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glGenBuffers(1, &indexBuffer);
    glBindVertexArray(vertexArray);

    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.vertices.size() * sizeof(MeshVertex)),
                 data.vertices.data(), GL_STATIC_DRAW);
    const auto stride = static_cast<GLsizei>(sizeof(MeshVertex));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(MeshVertex, position)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(MeshVertex, normal)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(MeshVertex, u)));

    std::vector<std::uint32_t> indices;
    for (const std::vector<std::uint32_t>& subset : data.subsetIndices) {
        ranges.push_back({static_cast<GLsizei>(subset.size()), indices.size(), boundsOf(data, subset)});
        indices.insert(indices.end(), subset.begin(), subset.end());
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint32_t)),
                 indices.data(), GL_STATIC_DRAW);
    glBindVertexArray(0);
}

GlMesh::~GlMesh()
{
    glDeleteBuffers(1, &indexBuffer);
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteVertexArrays(1, &vertexArray);
}

bool GlMesh::mayShow(std::uint32_t subset, const Matrix4& worldViewProjection) const
{
    return subset < ranges.size() && ranges[subset].count != 0 &&
           !outsideView(ranges[subset].bounds, worldViewProjection);
}

void GlMesh::draw(std::uint32_t subset, GLuint& boundVertexArray) const
{
    if (boundVertexArray != vertexArray) {
        glBindVertexArray(vertexArray);
        boundVertexArray = vertexArray;
    }
    glDrawElements(GL_TRIANGLES, ranges[subset].count, GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>(ranges[subset].firstIndex * sizeof(std::uint32_t)));
}

} // namespace torvane
