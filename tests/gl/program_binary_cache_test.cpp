// The program binary cache on SDL's offscreen driver: a program built once is
// loaded from its entry the next time and draws the same; a damaged, foreign
// or refused entry is rebuilt and written again; an unusable folder only
// costs the cache.
#define GL_GLEXT_PROTOTYPES
#include <SDL_opengl.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "core/content_hash.h"
#include "core/file_contents.h"
#include "support/offscreen_gl.h"
#include "support/scratch_folder.h"
#include "render/gl/program_binary_cache.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

constexpr const char* kVertexShader = R"(#version 330 core
void main()
{
    // One triangle over the whole viewport.
    vec2 corner = vec2(float((gl_VertexID & 1) * 4 - 1), float((gl_VertexID & 2) * 2 - 1));
    gl_Position = vec4(corner, 0.0, 1.0);
}
)";

constexpr const char* kFragmentShader = R"(#version 330 core
uniform vec4 colour;
out vec4 fragColour;
void main()
{
    fragColour = colour;
}
)";

struct ProgramBinaryCacheTest : OffscreenGlTest<8> {
    void SetUp() override
    {
        if (!hasContext()) {
            GTEST_SKIP() << "no OpenGL context on SDL's offscreen driver";
        }
        GLint formats = 0;
        glGetIntegerv(GL_NUM_PROGRAM_BINARY_FORMATS, &formats);
        if (formats == 0) {
            GTEST_SKIP() << "the driver offers no program binary format";
        }
    }

    unsigned build() const { return buildCachedGlProgram(kVertexShader, kFragmentShader, "test", folder.string()); }

    // The one entry in the folder.
    fs::path entry() const
    {
        fs::directory_iterator files(folder);
        EXPECT_NE(files, fs::directory_iterator());
        const fs::path path = files->path();
        EXPECT_EQ(++files, fs::directory_iterator()) << "one entry per program, no temporary left";
        return path;
    }

    // The program (deleted after) draws its colour uniform: the centre pixel, RGBA.
    static std::array<int, 4> drawnBy(unsigned program)
    {
        EXPECT_NE(program, 0U);
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE);
        GLuint vertexArray = 0;
        glGenVertexArrays(1, &vertexArray);
        glBindVertexArray(vertexArray);
        glUseProgram(program);
        glUniform4f(glGetUniformLocation(program, "colour"), 1.0f, 0.5f, 0.0f, 1.0f);
        glDisable(GL_DEPTH_TEST);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        std::array<unsigned char, 4> pixel{};
        glReadPixels(4, 4, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
        glUseProgram(0);
        glDeleteVertexArrays(1, &vertexArray);
        glDeleteProgram(program);
        return {pixel[0], pixel[1], pixel[2], pixel[3]};
    }

    static constexpr std::array<int, 4> kOrange{255, 128, 0, 255};
    const ScratchFolder scratch;
    const fs::path folder = scratch.path / "programs"; // made by the cache
};

TEST_F(ProgramBinaryCacheTest, ASoundEntryIsReadAndADamagedForeignOrRefusedOneRebuiltAndWrittenAgain)
{
    EXPECT_EQ(drawnBy(build()), kOrange);
    const fs::path path = entry();
    const std::string good = readFileContents(path.c_str()).value_or("");
    ASSERT_GT(good.size(), 32U);
    const auto writtenAt = fs::last_write_time(path);
    EXPECT_EQ(drawnBy(build()), kOrange);
    EXPECT_EQ(fs::last_write_time(entry()), writtenAt) << "a fitting entry is read, not written again";

    std::string flipped = good;
    flipped.back() = static_cast<char>(flipped.back() ^ 0x5A); // the checksum no longer matches
    std::string foreign = good;
    foreign[8] = static_cast<char>(foreign[8] ^ 1); // another driver's or other sources' entry
    // A binary whose checksum matches but which the driver cannot take: its bytes replaced by zeros.
    std::string refused = good.substr(0, 32) + std::string(good.size() - 32, '\0');
    const std::uint64_t zerosChecksum = contentHash(std::string_view(refused).substr(32));
    std::memcpy(refused.data() + 16, &zerosChecksum, sizeof zerosChecksum);

    for (const std::string& bad : {std::string(), good.substr(0, 20), good.substr(0, good.size() - 1), flipped,
                                   foreign, refused, std::string(100000, 'x')}) {
        std::ofstream(path, std::ios::binary) << bad;
        EXPECT_EQ(drawnBy(build()), kOrange) << bad.size() << " bytes";
        EXPECT_EQ(readFileContents(entry().c_str()), good) << bad.size() << " bytes";
    }
}

TEST_F(ProgramBinaryCacheTest, AFolderThatCannotBeMadeOnlyCostsTheCache)
{
    std::ofstream(folder) << "a file where the folder should be";
    EXPECT_EQ(drawnBy(build()), kOrange);
    EXPECT_TRUE(fs::is_regular_file(folder));
}

} // namespace
} // namespace torvane
