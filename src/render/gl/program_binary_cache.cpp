#include "render/gl/program_binary_cache.h"

#include <SDL_opengl.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "core/atomic_file.h"
#include "core/content_hash.h"
#include "core/file_contents.h"
#include "render/gl/gl_program.h"

namespace torvane {
namespace {

constexpr char kMagic[8] = {'T', 'V', 'P', 'R', 'O', 'G', '0', '1'};
// Far above any binary of the game's small programs (a few hundred kilobytes at most).
constexpr std::size_t kMaxBinaryBytes = std::size_t{16} << 20;

// What precedes the driver's binary in an entry.
struct EntryHeader {
    char magic[8];
    std::uint64_t key;      // the hash the file is named after
    std::uint64_t checksum; // of the binary's bytes
    std::uint32_t format;   // the driver's binary format
    std::uint32_t size;     // of the binary, bytes
};

std::string_view glText(GLenum name)
{
    const auto* text = reinterpret_cast<const char*>(glGetString(name));
    return text != nullptr ? text : "";
}

// Whether the context can hand out and take back program binaries.
bool offersProgramBinaries()
{
    GLint major = 0;
    GLint minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    bool available = major > 4 || (major == 4 && minor >= 1);
    GLint extensions = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &extensions);
    for (GLint i = 0; i < extensions && !available; ++i) {
        const auto* name = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        available = name != nullptr && std::strcmp(name, "GL_ARB_get_program_binary") == 0;
    }
    if (!available) {
        return false;
    }
    GLint formats = 0;
    glGetIntegerv(GL_NUM_PROGRAM_BINARY_FORMATS, &formats);
    return formats > 0;
}

// The hash naming the entry of these sources on this driver.
std::uint64_t entryKey(const char* vertexSource, const char* fragmentSource)
{
    std::string identity;
    for (const std::string_view part : {glText(GL_VENDOR), glText(GL_RENDERER), glText(GL_VERSION),
                                        std::string_view(vertexSource), std::string_view(fragmentSource)}) {
        identity += std::to_string(part.size()); // lengths first, so that no two splits read alike
        identity += ':';
        identity += part;
    }
    return contentHash(identity);
}

std::string entryPath(const std::string& cacheFolder, std::uint64_t key)
{
    return cacheFolder + "/program-" + contentHashText(key).substr(std::strlen("fnv1a64:")) + ".bin";
}

// The program loaded from the entry at path, or 0 when the entry is missing, does not fit or is refused.
GLuint loadEntry(const std::string& path, std::uint64_t key)
{
    const FileRead file = readFile(path.c_str(), sizeof(EntryHeader) + kMaxBinaryBytes);
    if (!file.contents || file.contents->size() < sizeof(EntryHeader)) {
        return 0;
    }
    EntryHeader header{};
    std::memcpy(&header, file.contents->data(), sizeof header);
    const std::string_view binary = std::string_view(*file.contents).substr(sizeof header);
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.key != key || header.size != binary.size() ||
        header.checksum != contentHash(binary)) {
        return 0;
    }
    const GLuint program = glCreateProgram();
    glProgramBinary(program, header.format, binary.data(), static_cast<GLsizei>(binary.size()));
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    while (glGetError() != GL_NO_ERROR) {
        // a format the driver no longer takes: forgotten, the program is built again
    }
    if (linked != GL_TRUE) {
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

// Keeps program's binary as the entry at path; a failure only costs the next start-up a build.
void storeEntry(GLuint program, const std::string& path, std::uint64_t key)
{
    GLint length = 0;
    glGetProgramiv(program, GL_PROGRAM_BINARY_LENGTH, &length);
    if (length <= 0 || static_cast<std::size_t>(length) > kMaxBinaryBytes) {
        return;
    }
    std::vector<char> binary(static_cast<std::size_t>(length));
    GLsizei written = 0;
    GLenum format = 0;
    glGetProgramBinary(program, length, &written, &format, binary.data());
    if (glGetError() != GL_NO_ERROR || written <= 0) {
        return;
    }
    binary.resize(static_cast<std::size_t>(written));
    EntryHeader header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.key = key;
    header.checksum = contentHash(std::string_view(binary.data(), binary.size()));
    header.format = format;
    header.size = static_cast<std::uint32_t>(binary.size());
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    AtomicFile file(path);
    if (file.isOpen() && std::fwrite(&header, sizeof header, 1, file.file()) == 1 &&
        std::fwrite(binary.data(), 1, binary.size(), file.file()) == binary.size()) {
        file.commit();
    }
}

} // namespace

unsigned buildCachedGlProgram(const char* vertexSource, const char* fragmentSource, const char* what,
                              const std::string& cacheFolder)
{
    if (cacheFolder.empty() || !offersProgramBinaries()) {
        return buildGlProgram(vertexSource, fragmentSource, what);
    }
    const std::uint64_t key = entryKey(vertexSource, fragmentSource);
    const std::string path = entryPath(cacheFolder, key);
    if (const GLuint cached = loadEntry(path, key)) {
        return cached;
    }
    const GLuint program = buildGlProgram(vertexSource, fragmentSource, what, true);
    if (program != 0) {
        storeEntry(program, path, key);
    }
    return program;
}

} // namespace torvane
