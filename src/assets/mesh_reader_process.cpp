#include "assets/mesh_reader_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <type_traits>

namespace torvane {
namespace {

// The mesh as one byte string: counts followed by the arrays they count.
class Writer {
public:
    template <typename T>
    void put(const T& value)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    template <typename T>
    void putArray(const std::vector<T>& values)
    {
        put(static_cast<std::uint64_t>(values.size()));
        if (!values.empty()) {
            bytes.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
        }
    }
    std::string bytes;
};

class Reader {
public:
    explicit Reader(const std::string& source) : bytes(source) {}

    template <typename T>
    bool get(T& value)
    {
        if (bytes.size() - offset < sizeof value) {
            return false;
        }
        std::memcpy(&value, bytes.data() + offset, sizeof value);
        offset += sizeof value;
        return true;
    }
    template <typename T>
    bool getArray(std::vector<T>& values)
    {
        std::uint64_t count = 0;
        if (!get(count) || count > (bytes.size() - offset) / sizeof(T)) {
            return false;
        }
        values.resize(count);
        if (count != 0) {
            std::memcpy(values.data(), bytes.data() + offset, count * sizeof(T));
        }
        offset += count * sizeof(T);
        return true;
    }
    bool atEnd() const { return offset == bytes.size(); }

private:
    const std::string& bytes;
    std::size_t offset = 0;
};

std::string serialise(const MeshData& mesh)
{
    Writer out;
    out.putArray(mesh.vertices);
    out.put(static_cast<std::uint64_t>(mesh.materials.size()));
    for (std::size_t i = 0; i < mesh.materials.size(); ++i) {
        out.putArray(mesh.subsetIndices[i]);
        out.put(mesh.materials[i].material);
        out.putArray(std::vector<char>(mesh.materials[i].textureFile.begin(), mesh.materials[i].textureFile.end()));
    }
    return out.bytes;
}

std::optional<MeshData> deserialise(const std::string& bytes)
{
    Reader in(bytes);
    MeshData mesh;
    std::uint64_t subsets = 0;
    if (!in.getArray(mesh.vertices) || !in.get(subsets) || subsets > bytes.size()) {
        return std::nullopt;
    }
    mesh.subsetIndices.resize(subsets);
    mesh.materials.resize(subsets);
    for (std::size_t i = 0; i < subsets; ++i) {
        std::vector<char> name;
        if (!in.getArray(mesh.subsetIndices[i]) || !in.get(mesh.materials[i].material) || !in.getArray(name)) {
            return std::nullopt;
        }
        mesh.materials[i].textureFile.assign(name.begin(), name.end());
    }
    if (!in.atEnd()) {
        return std::nullopt;
    }
    return mesh;
}

// Writes all of bytes to fd; false when the pipe refuses.
bool writeAll(int fd, const std::string& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    return true;
}

std::string readAll(int fd)
{
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
}

} // namespace

std::optional<MeshData> readXMeshInChildProcess(std::span<const std::uint8_t> data)
{
    int channel[2];
    if (pipe(channel) != 0) {
        return std::nullopt;
    }
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return std::nullopt;
    }
    if (child == 0) {
        close(channel[0]);
        const std::optional<MeshData> mesh = readXMeshMemory(data);
        const bool sent = mesh.has_value() && writeAll(channel[1], serialise(*mesh));
        close(channel[1]);
        _exit(sent ? 0 : 1);
    }

    close(channel[1]);
    const std::string bytes = readAll(channel[0]);
    close(channel[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return deserialise(bytes);
}

} // namespace torvane
