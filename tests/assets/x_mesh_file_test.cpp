#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "assets/x_mesh_file.h"
#include "support/scratch_folder.h"

namespace torvane {
namespace {

// Floats carry a decimal point: Assimp reads "1,0" as the number 1.0.
const std::string kTriangleFile = R"(xof 0303txt 0032
Mesh {
  3; 1.0;2.0;3.0;, 4.0;5.0;-6.0;, -7.0;8.0;9.5;;
  1; 3;2,0,1;;
  MeshNormals { 1; 0.0;0.0;-1.0;; 1; 3;0,0,0;; }
  MeshTextureCoords { 3; 0.25;0.125;, 0.5;0.75;, 1.0;0.0;; }
  MeshMaterialList { 1; 1; 0;;
    Material Body {
      0.1;0.2;0.3;0.4;; 12.5; 0.5;0.6;0.7;; 0.01;0.02;0.03;;
      TextureFilename { "objets/cars/car_body.png"; }
    }
  }
}
)";

std::optional<MeshData> readText(const std::string& text)
{
    const std::string path = writeTemp("mesh.x", text);
    std::optional<MeshData> mesh = readXMeshFile(path.c_str());
    std::remove(path.c_str());
    return mesh;
}

std::vector<Vector3> positionsOf(const MeshData& mesh, std::size_t subset)
{
    std::vector<Vector3> positions;
    for (const std::uint32_t index : mesh.subsetIndices.at(subset)) {
        positions.push_back(mesh.vertices.at(index).position);
    }
    return positions;
}

TEST(ReadXMesh, TriangleKeepsTheFilesCoordinatesWindingUvAndMaterial)
{
    const MeshData mesh = readText(kTriangleFile).value_or(MeshData{});
    ASSERT_EQ(mesh.subsetIndices.size(), 1u);
    // Face "2,0,1": its corners in that order, clockwise as written.
    EXPECT_EQ(positionsOf(mesh, 0), (std::vector<Vector3>{{-7.0f, 8.0f, 9.5f}, {1.0f, 2.0f, 3.0f}, {4.0f, 5.0f, -6.0f}}));
    const MeshVertex& first = mesh.vertices.at(mesh.subsetIndices[0][0]);
    const MeshVertex& second = mesh.vertices.at(mesh.subsetIndices[0][1]);
    EXPECT_EQ(std::vector<float>({first.u, first.v, second.u, second.v}), std::vector<float>({1.0f, 0.0f, 0.25f, 0.125f}));
    EXPECT_EQ(second.normal, Vector3(0.0f, 0.0f, -1.0f));

    ASSERT_EQ(mesh.materials.size(), 1u);
    const MeshFileSurface expected{{0.1f, 0.2f, 0.3f, 0.4f}, {0.5f, 0.6f, 0.7f, 1.0f}, {0.01f, 0.02f, 0.03f, 1.0f}, 12.5f};
    EXPECT_EQ(mesh.materials[0].surface, expected);
}

TEST(ReadXMesh, NestedFrameTransformsAreApplied)
{
    // Inner frame: move by (1, 2, 3). Outer: turn +x to -z and +z to +x, then move by (10, 20, 30).
    const MeshData mesh = readText(R"(xof 0303txt 0032
Frame Outer {
  FrameTransformMatrix { 0.0,0.0,-1.0,0.0, 0.0,1.0,0.0,0.0, 1.0,0.0,0.0,0.0, 10.0,20.0,30.0,1.0;; }
  Frame Inner {
    FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 1.0,2.0,3.0,1.0;; }
    Mesh {
      3; 1.0;2.0;3.0;, 4.0;5.0;6.0;, 7.0;8.0;-9.0;; 1; 3;0,1,2;;
      MeshNormals { 1; 0.0;0.0;-1.0;; 1; 3;0,0,0;; }
      MeshMaterialList { 1; 1; 0;; Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; } }
    }
  }
})").value_or(MeshData{});
    ASSERT_EQ(mesh.subsetIndices.size(), 1u);
    EXPECT_EQ(positionsOf(mesh, 0), (std::vector<Vector3>{{16.0f, 24.0f, 28.0f}, {19.0f, 27.0f, 25.0f}, {4.0f, 30.0f, 22.0f}}));
    EXPECT_NEAR(dot(mesh.vertices[0].normal, Vector3(-1.0f, 0.0f, 0.0f)), 1.0f, 1e-6f);
}

TEST(ReadXMesh, PolygonsAreFannedIntoTheirMaterialsSubset)
{
    // Face 0 (a triangle) uses material 1, face 1 (a quad) material 0.
    const MeshData mesh = readText(R"(xof 0303txt 0032
Mesh {
  5; 0.0;0.0;0.0;, 0.0;1.0;0.0;, 1.0;1.0;0.5;, 1.0;0.0;0.0;, 2.0;2.0;2.0;;
  2; 3;0,1,4;, 4;0,1,2,3;;
  MeshMaterialList { 2; 2; 1, 0;;
    Material { 1.0;0.0;0.0;1.0;; 5.0; 1.0;1.0;1.0;; 0.0;0.0;0.0;; TextureFilename { "paint shop/red paint.jpg"; } }
    Material { 0.0;1.0;0.0;0.5;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
  }
})").value_or(MeshData{});
    ASSERT_EQ(mesh.materials.size(), 2u);
    ASSERT_EQ(mesh.subsetIndices.size(), 2u);
    EXPECT_EQ(mesh.materials[0].textureFile, "paint shop/red paint.jpg") << "blanks kept as written";
    EXPECT_EQ(mesh.materials[1].textureFile, "");
    EXPECT_EQ(mesh.materials[1].surface.diffuse, (MeshFileColour{0.0f, 1.0f, 0.0f, 0.5f}));
    const Vector3 q0(0, 0, 0), q1(0, 1, 0), q2(1, 1, 0.5f), q3(1, 0, 0), far(2, 2, 2);
    EXPECT_EQ(positionsOf(mesh, 0), (std::vector<Vector3>{q0, q1, q2, q0, q2, q3}));
    EXPECT_EQ(positionsOf(mesh, 1), (std::vector<Vector3>{q0, q1, far}));
}

TEST(ReadXMesh, MissingMaterialsOrUnreadableFilesGiveNothingSilently)
{
    const std::optional<MeshData> bare = readText("xof 0303txt 0032\nMesh { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;; }\n");
    ASSERT_TRUE(bare);
    EXPECT_TRUE(bare->materials.empty() && bare->subsetIndices.empty());

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(readXMeshFile("/nonexistent/objets/cars/mycar.x"));
    EXPECT_FALSE(readXMeshFile(testing::TempDir().c_str())) << "a directory";
    EXPECT_FALSE(readText(""));
    EXPECT_FALSE(readText(kTriangleFile.substr(0, kTriangleFile.size() / 2)));
    EXPECT_FALSE(readText("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"));
    EXPECT_FALSE(readText(std::string(200, '\xAB')));
    EXPECT_EQ(testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr(), "");
}

} // namespace
} // namespace torvane
