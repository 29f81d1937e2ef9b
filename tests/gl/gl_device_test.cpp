// The OpenGL device on SDL's offscreen driver: pictures read back from the
// back buffer show the Direct3D meanings (row-vector matrices, clockwise front
// faces, v = 0 at the image's top row, per-vertex lighting without normal
// renormalisation, text blended in white).
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "support/test_files.h"
#include "math/float_math.h"
#include "support/offscreen_gl.h"
#include "render/gl/gl_debug_log.h"
#include "render/gl/gl_device.h"
#include <SDL_opengl.h>

namespace torvane {
namespace {

constexpr int kSize = 64;

// A 8 × 8 square at z = 5, facing -z, its corners listed clockwise as seen from the origin.
const std::string kSquareFile = R"(xof 0303txt 0032
Mesh {
  4; -4.0;-4.0;5.0;, -4.0;4.0;5.0;, 4.0;4.0;5.0;, 4.0;-4.0;5.0;;
  1; 4;1,2,3,0;;
  MeshNormals { 1; 0.0;0.0;-1.0;; 1; 4;0,0,0,0;; }
  MeshTextureCoords { 4; 0.0;1.0;, 0.0;0.0;, 1.0;0.0;, 1.0;1.0;; }
  MeshMaterialList { 1; 1; 0;;
    Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
  }
}
)";

// The rectangle (left, top, right, bottom; right and bottom exclusive) that
// holds every white pixel of a picture whose scene drew nothing.
struct Ink {
    int left = kSize, top = kSize, right = 0, bottom = 0;

    bool operator==(const Ink&) const = default;
};

// On a debug context: every test also fails on an error the driver reports.
struct GlDeviceTest : OffscreenGlTest<kSize> {
    static void SetUpTestSuite()
    {
        setenv("TORVANE_GL_DEBUG", "1", 1);
        OffscreenGlTest<kSize>::SetUpTestSuite();
    }

    void SetUp() override
    {
        if (!hasContext()) {
            GTEST_SKIP() << "no OpenGL context on SDL's offscreen driver";
        }
        problemsBefore = glProblemCount();
        start(kSize);
    }

    // A device with a size × size back buffer, the square loaded, looking at it from the origin, cleared black.
    void start(int size)
    {
        device = GlDevice::create(window->handle(), size, size);
        ASSERT_NE(device, nullptr);
        std::vector<MeshMaterial> materials;
        square = device->loadMeshFromX(writeTemp("square.x", kSquareFile).c_str(), materials);
        ASSERT_NE(square, nullptr);
        device->setTransform(TransformState::Projection, matrixPerspectiveFovLH(kHalfPi, 1.0f, 1.0f, 100.0f));
        device->setTransform(TransformState::View, matrixIdentity());
        device->setTransform(TransformState::World, matrixIdentity());
        device->clear(0xFF000000, 1.0f);
    }

    // The pixel at column x, row y from the top: red, green, blue.
    std::array<int, 3> pixel(int x, int y) const
    {
        const std::vector<std::uint8_t> rgba = device->readBackBuffer();
        const std::size_t at = static_cast<std::size_t>((y * kSize + x) * 4);
        return {rgba[at], rgba[at + 1], rgba[at + 2]};
    }

    // The square drawn through world with material.
    void drawSquare(const Matrix4& world, const Material& material)
    {
        device->setTransform(TransformState::World, world);
        device->setMaterial(material);
        device->drawSubset(*square, 0);
    }

    // A material showing emissive alone, unlit, with diffuse (its alpha blends).
    static Material glowing(ColourValue emissive, ColourValue diffuse = {})
    {
        Material material;
        material.emissive = emissive;
        material.diffuse = diffuse;
        return material;
    }

    static void expectNear(std::array<int, 3> actual, std::array<int, 3> expected)
    {
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(actual[i], expected[i], 2) << "channel " << i;
        }
    }

    // Where text, drawn alone in white over black within the whole picture, left ink.
    Ink inkOf(const char* text, std::uint32_t format)
    {
        device->clear(0xFF000000, 1.0f);
        device->beginScene();
        device->drawText(text, {0, 0, kSize, kSize}, format, 0xFFFFFFFF);
        device->endScene();
        const std::vector<std::uint8_t> rgba = device->readBackBuffer();
        Ink ink;
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                if (rgba[static_cast<std::size_t>((y * kSize + x) * 4)] > 128) {
                    ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                           std::max(ink.bottom, y + 1)};
                }
            }
        }
        return ink;
    }

    void TearDown() override
    {
        if (hasContext()) {
            EXPECT_EQ(glProblemCount() - problemsBefore, expectedProblems) << "errors the driver reported";
        }
    }

    std::unique_ptr<GlDevice> device;
    Mesh* square = nullptr;
    int problemsBefore = 0;
    int expectedProblems = 0;
};

TEST_F(GlDeviceTest, TheDriversErrorsAreCaughtAsTheyHappen)
{
    expectedProblems = 1;
    glEnable(0x1234); // no such capability: GL_INVALID_ENUM
    EXPECT_EQ(glProblemCount() - problemsBefore, 1) << "counted within the call";
    glGetError();
}

TEST_F(GlDeviceTest, DirectionalLightLitsPerVertexAndScaleShortensNormals)
{
    Light light;
    light.diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.direction = {0.0f, 0.0f, 2.0f}; // away from the viewer, not unit length
    device->setLight(1, light);
    device->lightEnable(1, true);
    Material material;
    material.diffuse = {0.5f, 0.25f, 0.0f, 1.0f};
    drawSquare(matrixIdentity(), material);
    expectNear(pixel(32, 32), {128, 64, 0});

    // A scale of 2 halves the transformed normal: the diffuse term halves too.
    device->clear(0xFF000000, 1.0f);
    drawSquare(matrixScaling(2.0f, 2.0f, 2.0f), material);
    expectNear(pixel(32, 32), {64, 32, 0});

    // White ambient light on an ambient colour adds on top, clamped at 1.
    device->setRenderState(RenderState::Ambient, 0xFFFFFFFF);
    material.ambient = {0.25f, 0.5f, 1.0f, 1.0f};
    drawSquare(matrixScaling(2.0f, 2.0f, 2.0f), material);
    expectNear(pixel(32, 32), {128, 160, 255});
}

TEST_F(GlDeviceTest, CounterClockwiseFacesAreCulledAndTexturesKeepTheirTopRowAtVZero)
{
    const Material white = glowing({1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f});
    // Mirrored in x, the square's corners run counter-clockwise: culled.
    drawSquare(matrixScaling(-1.0f, 1.0f, 1.0f), white);
    expectNear(pixel(32, 32), {0, 0, 0});

    // Red, green on the top row; blue, white below.
    const Bytes pixels{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    const std::string path = writeTemp("quarters.png", encodePng(2, 2, PNG_FORMAT_RGBA, pixels.data()));
    const Texture* texture = device->createTextureFromFile(path.c_str());
    ASSERT_NE(texture, nullptr);
    device->setTexture(0, texture);
    drawSquare(matrixIdentity(), white);
    expectNear(pixel(20, 20), {255, 0, 0});
    expectNear(pixel(44, 20), {0, 255, 0});
    expectNear(pixel(20, 44), {0, 0, 255});
    expectNear(pixel(44, 44), {255, 255, 255});
}

TEST_F(GlDeviceTest, ASubsetReachingIntoTheViewFromOutsideIsStillDrawn)
{
    // The view spans x from -5 to 5 at the square's depth: moved by 8, the square's left fifth shows on the right.
    drawSquare(matrixTranslation(8.0f, 0.0f, 0.0f), glowing({1.0f, 1.0f, 1.0f, 1.0f}));
    expectNear(pixel(kSize - 2, 32), {255, 255, 255});
    expectNear(pixel(kSize - 8, 32), {0, 0, 0});
}

TEST_F(GlDeviceTest, ABackBufferSmallerThanTheWindowIsDrawnOffScreenAndReadBack)
{
    // The same device drawing straight into the window when the sizes match, then into its own buffer.
    for (const int size : {kSize, kSize / 2}) {
        ASSERT_NO_FATAL_FAILURE(start(size));
        device->clear(0xFF0000FF, 1.0f);
        drawSquare(matrixIdentity(), glowing({1.0f, 1.0f, 1.0f, 1.0f}));
        device->endScene();
        const std::vector<std::uint8_t> rgba = device->readBackBuffer();
        ASSERT_EQ(rgba.size(), static_cast<std::size_t>(size * size * 4));
        const std::size_t centre = static_cast<std::size_t>((size / 2 * size + size / 2) * 4);
        EXPECT_EQ(rgba[centre], 255) << size;
        EXPECT_EQ(rgba[2], 255) << "the clear colour's blue, " << size;
        device->present();
    }
}

TEST_F(GlDeviceTest, EachFileIsLoadedOnceAndSharedByEveryoneWhoNamesIt)
{
    std::vector<MeshMaterial> materials;
    EXPECT_EQ(device->loadMeshFromX(writeTemp("square.x", kSquareFile).c_str(), materials), square);
    EXPECT_EQ(materials.size(), 1u) << "the materials come with the shared mesh";

    const Bytes red{255, 0, 0, 255};
    const std::string path = writeTemp("red.png", encodePng(1, 1, PNG_FORMAT_RGBA, red.data()));
    const Texture* texture = device->createTextureFromFile(path.c_str());
    ASSERT_NE(texture, nullptr);
    std::remove(path.c_str());
    EXPECT_EQ(device->createTextureFromFile(path.c_str()), texture) << "read from the file once";

    EXPECT_EQ(device->loadMeshFromX("/nonexistent/tower.x", materials), nullptr);
    EXPECT_TRUE(materials.empty());
    EXPECT_EQ(device->loadMeshFromX("/nonexistent/tower.x", materials), nullptr) << "a failure is kept too";
}

TEST_F(GlDeviceTest, DepthKeepsTheNearerSurfaceAndABlendedOneMixesByItsDiffuseAlphaWritingNoDepthWhenAsked)
{
    // The same square twice as far (and twice as large) lies behind the near one.
    const Matrix4 near = matrixIdentity(), far = matrixScaling(2.0f, 2.0f, 2.0f);
    drawSquare(near, glowing({1.0f, 0.0f, 0.0f, 1.0f}));
    drawSquare(far, glowing({0.0f, 0.0f, 1.0f, 1.0f}));
    expectNear(pixel(32, 32), {255, 0, 0});
    device->setRenderState(RenderState::ZEnable, 0);
    drawSquare(far, glowing({0.0f, 0.0f, 1.0f, 1.0f}));
    expectNear(pixel(32, 32), {0, 0, 255});

    device->setRenderState(RenderState::ZEnable, 1);
    device->clear(0xFF000000, 1.0f);
    device->setRenderState(RenderState::AlphaBlendEnable, 1);
    device->setRenderState(RenderState::SrcBlend, static_cast<std::uint32_t>(BlendFactor::SrcAlpha));
    device->setRenderState(RenderState::DestBlend, static_cast<std::uint32_t>(BlendFactor::InvSrcAlpha));
    device->setRenderState(RenderState::ZWriteEnable, 0);
    drawSquare(near, glowing({1.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 0.25f}));
    expectNear(pixel(32, 32), {64, 0, 0});
    // Blending off again, a farther square still shows: the translucent one left no depth.
    device->setRenderState(RenderState::AlphaBlendEnable, 0);
    device->setRenderState(RenderState::ZWriteEnable, 1);
    drawSquare(far, glowing({0.0f, 0.0f, 1.0f, 1.0f}));
    expectNear(pixel(32, 32), {0, 0, 255});
}

TEST_F(GlDeviceTest, TextShowsWhiteOverTheSceneFromTheTopLeftCorner)
{
    device->drawText("Fx1=0", {0, 0, 500, 500}, kTextLeftTop, 0xFFFFFFFF);
    EXPECT_EQ(pixel(4, 10), (std::array<int, 3>{0, 0, 0})) << "drawn before the font exists";

    ASSERT_TRUE(device->createFont(20));
    device->drawText("Fx1=0", {0, 0, 500, 500}, kTextLeftTop, 0xFFFFFFFF);
    // Drawn after the text within the scene, the square still lies under it.
    drawSquare(matrixScaling(1.0f, 1.0f, 0.5f), glowing({0.5f, 0.5f, 0.5f, 1.0f}));
    device->endScene();
    int white = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 32; ++x) {
            white += pixel(x, y) == std::array<int, 3>{255, 255, 255} ? 1 : 0;
        }
    }
    EXPECT_GT(white, 10);
    expectNear(pixel(32, 50), {128, 128, 128}); // below the text's first row, the square
}

TEST_F(GlDeviceTest, TextAlignsRightAndBottomAndBreaksRows)
{
    ASSERT_TRUE(device->createFont(20));
    const Ink oneRow = inkOf("00", kTextLeftTop);
    ASSERT_LT(oneRow.left, oneRow.right);
    EXPECT_LT(oneRow.left, 4);
    EXPECT_LE(oneRow.bottom, 20) << "one row fits its 20-pixel cell";

    const Ink twoRows = inkOf("00\n00", kTextLeftTop);
    EXPECT_EQ(twoRows.left, oneRow.left);
    EXPECT_GT(twoRows.bottom, 20) << "the second row lies below the first";
    EXPECT_LE(twoRows.bottom, 40);

    const Ink right = inkOf("00", kTextRight);
    EXPECT_GT(right.right, kSize - 4) << "flush with the rectangle's right edge";
    EXPECT_EQ(right.right - right.left, oneRow.right - oneRow.left);
    EXPECT_EQ(right.top, oneRow.top);

    const Ink bottom = inkOf("00\n00", kTextLeftTop | kTextBottom);
    EXPECT_GT(bottom.bottom, kSize - 8) << "the last row ends at the rectangle's bottom";
    EXPECT_EQ(bottom.bottom - bottom.top, twoRows.bottom - twoRows.top);
    EXPECT_EQ(bottom.left, twoRows.left);
}

TEST_F(GlDeviceTest, FrenchAccentsDrawFromUtf8AndStrayBytesDrawNothing)
{
    ASSERT_TRUE(device->createFont(20));
    const Ink plain = inkOf("e", kTextLeftTop);
    const Ink accented = inkOf("\xC3\xA9", kTextLeftTop); // é
    ASSERT_LT(accented.left, accented.right);
    EXPECT_LT(accented.top, plain.top) << "the accent stands above the letter";
    EXPECT_EQ(accented.bottom, plain.bottom);
    EXPECT_EQ(inkOf("e\xC3", kTextLeftTop), plain) << "a cut-off sequence draws nothing";
    EXPECT_EQ(inkOf("\xFF\xE2\x82\xAC" "e", kTextLeftTop).right, inkOf("e", kTextLeftTop).right)
        << "bytes outside Latin-1 take no room";
}

} // namespace
} // namespace torvane
