#include "assets/mesh_reader_process.h"

#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <type_traits>

#include "assets/reader_sandbox.h"
#include "core/atomic_file.h"
#include "core/content_hash.h"
#include "core/file_contents.h"
#include "core/file_fault_log.h"

namespace torvane {
namespace {

using Clock = std::chrono::steady_clock;

// The answer's size header when the child refuses the file.
constexpr std::uint64_t kRefused = ~std::uint64_t{0};

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
        out.put(mesh.materials[i].surface);
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
        if (!in.getArray(mesh.subsetIndices[i]) || !in.get(mesh.materials[i].surface) || !in.getArray(name)) {
            return std::nullopt;
        }
        mesh.materials[i].textureFile.assign(name.begin(), name.end());
    }
    if (!in.atEnd()) {
        return std::nullopt;
    }
    return mesh;
}

// A kept mesh's file: this header, then the mesh's bytes (serialise).
struct CacheEntryHeader {
    char magic[8];
    std::uint64_t key;   // the hash of the .x file's bytes
    std::uint64_t check; // the hash of the mesh's bytes
};
constexpr char kCacheMagic[8] = {'T', 'V', 'M', 'E', 'S', 'H', '0', '1'};

std::string cacheEntryPath(const std::string& cacheFolder, std::uint64_t key)
{
    return cacheFolder + "/mesh-" + contentHashText(key).substr(std::strlen("fnv1a64:")) + ".bin";
}

// Every triangle's corners name vertices of the mesh.
bool indicesInRange(const MeshData& mesh)
{
    return std::all_of(mesh.subsetIndices.begin(), mesh.subsetIndices.end(), [&](const std::vector<std::uint32_t>& subset) {
        return subset.size() % 3 == 0 && std::all_of(subset.begin(), subset.end(), [&](std::uint32_t index) {
                   return index < mesh.vertices.size();
               });
    });
}

// The mesh kept for the .x file whose bytes hash to key, when its entry is there and sound.
std::optional<MeshData> loadCachedMesh(const std::string& cacheFolder, std::uint64_t key, std::uint64_t maxBytes)
{
    const FileRead file = readFile(cacheEntryPath(cacheFolder, key).c_str(), sizeof(CacheEntryHeader) + maxBytes);
    if (!file.contents || file.contents->size() < sizeof(CacheEntryHeader)) {
        return std::nullopt;
    }
    CacheEntryHeader header{};
    std::memcpy(&header, file.contents->data(), sizeof header);
    const std::string bytes = file.contents->substr(sizeof header);
    if (std::memcmp(header.magic, kCacheMagic, sizeof kCacheMagic) != 0 || header.key != key ||
        header.check != cacheHash(bytes)) {
        return std::nullopt;
    }
    std::optional<MeshData> mesh = deserialise(bytes);
    return mesh && indicesInRange(*mesh) ? mesh : std::nullopt;
}

// Keeps mesh as the entry of key; a failure only costs the next start-up a parse.
void storeCachedMesh(const std::string& cacheFolder, std::uint64_t key, const MeshData& mesh)
{
    const std::string bytes = serialise(mesh);
    CacheEntryHeader header{};
    std::memcpy(header.magic, kCacheMagic, sizeof kCacheMagic);
    header.key = key;
    header.check = cacheHash(bytes);
    std::error_code ignored;
    std::filesystem::create_directories(cacheFolder, ignored);
    AtomicFile file(cacheEntryPath(cacheFolder, key));
    if (file.isOpen() && std::fwrite(&header, sizeof header, 1, file.file()) == 1 &&
        std::fwrite(bytes.data(), 1, bytes.size(), file.file()) == bytes.size()) {
        file.commit();
    }
}

// Waits until fd is ready for events or the deadline passes; false on the deadline or an error.
bool waitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return false;
        }
        pollfd entry{fd, events, 0};
        const int ready = poll(&entry, 1, static_cast<int>(std::min<long long>(left, 1 << 30)));
        if (ready > 0) {
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
}

// Sends size bytes before the deadline; false when the peer is gone or too slow.
bool sendAll(int fd, const void* data, std::size_t size, Clock::time_point deadline)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t count = send(fd, bytes, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (count > 0) {
            bytes += count;
            size -= static_cast<std::size_t>(count);
        } else if (count == 0 || (errno != EINTR && errno != EAGAIN) || (errno == EAGAIN && !waitFor(fd, POLLOUT, deadline))) {
            return false;
        }
    }
    return true;
}

// Receives exactly size bytes before the deadline; false on end of stream, an error or the deadline.
bool receiveAll(int fd, void* data, std::size_t size, Clock::time_point deadline)
{
    char* bytes = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t count = recv(fd, bytes, size, MSG_DONTWAIT);
        if (count > 0) {
            bytes += count;
            size -= static_cast<std::size_t>(count);
        } else if (count == 0 || (errno != EINTR && errno != EAGAIN) || (errno == EAGAIN && !waitFor(fd, POLLIN, deadline))) {
            return false;
        }
    }
    return true;
}

// The size of this process's address space, bytes; 0 when /proc cannot tell.
std::uint64_t addressSpaceInUse()
{
    unsigned long long pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) {
        return 0;
    }
    if (std::fscanf(statm, "%llu", &pages) != 1) {
        pages = 0;
    }
    std::fclose(statm);
    return pages * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
}

// The child's life: bounded and confined to its socket, then answering one file
// after another until the parent closes the socket. Never returns; never runs
// the parent's exit handlers.
[[noreturn]] void serveRequests(int fd, pid_t parent, std::uint64_t addressSpaceBytes, void (*inConfinedChild)())
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
        _exit(0); // the parent ended before the line above
    }
    // Assimp is loaded here, before the limit and the filter: loading maps files and executable code.
    if (std::string error; !loadXMeshImporter(error)) {
        std::fprintf(stderr, "mesh reader: %s\n", error.c_str());
        _exit(1);
    }
    const rlim_t addressSpaceLimit = addressSpaceInUse() + addressSpaceBytes;
    const rlimit addressSpace{addressSpaceLimit, addressSpaceLimit};
    const rlimit noCoreFile{0, 0};
    // A crash dies of its signal: no handler of the parent's (a sanitizer's, a
    // fuzzer's) runs in the confined child, whose first call would be refused.
    for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP}) {
        std::signal(signal, SIG_DFL);
    }
    if (setrlimit(RLIMIT_AS, &addressSpace) != 0 || setrlimit(RLIMIT_CORE, &noCoreFile) != 0 ||
        !confineToSocket(fd)) {
        _exit(1);
    }
    if (inConfinedChild != nullptr) {
        inConfinedChild();
    }
    const auto never = Clock::time_point::max();
    try {
        for (;;) {
            std::uint64_t size = 0;
            if (!receiveAll(fd, &size, sizeof size, never)) {
                _exit(0);
            }
            std::string request(size, '\0');
            if (!receiveAll(fd, request.data(), request.size(), never)) {
                _exit(0);
            }
            const std::optional<MeshData> mesh = readXMeshMemory(bytesOf(request));
            const std::string answer = mesh ? serialise(*mesh) : std::string();
            const std::uint64_t header = mesh ? answer.size() : kRefused;
            if (!sendAll(fd, &header, sizeof header, never) || !sendAll(fd, answer.data(), answer.size(), never)) {
                _exit(0);
            }
        }
    } catch (...) {
        _exit(1); // out of memory under the limit: the parent refuses the file
    }
}

} // namespace

MeshReaderProcess::MeshReaderProcess(MeshReaderLimits readerLimits, void (*childHook)())
    : limits(readerLimits), inConfinedChild(childHook)
{
}

MeshReaderProcess::~MeshReaderProcess()
{
    stop();
}

bool MeshReaderProcess::start()
{
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        return false;
    }
    const pid_t parent = getpid();
    const pid_t forked = fork();
    if (forked == 0) {
        close(pair[0]);
        serveRequests(pair[1], parent, limits.addressSpaceBytes, inConfinedChild);
    }
    close(pair[1]);
    if (forked < 0) {
        close(pair[0]);
        return false;
    }
    child = forked;
    channel = pair[0];
    return true;
}

bool MeshReaderProcess::stop()
{
    if (child < 0) {
        return false;
    }
    close(channel);
    kill(child, SIGKILL); // a child that already died keeps the signal it died of
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    child = -1;
    channel = -1;
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGSYS;
}

std::optional<MeshData> MeshReaderProcess::read(std::span<const std::uint8_t> data)
{
    refusal = FileFault::NoFault;
    if (child < 0 && !start()) {
        return std::nullopt;
    }
    const Clock::time_point deadline = Clock::now() + limits.wallClockPerFile;
    const std::uint64_t size = data.size();
    std::uint64_t answerSize = 0;
    if (!sendAll(channel, &size, sizeof size, deadline) || !sendAll(channel, data.data(), data.size(), deadline) ||
        !receiveAll(channel, &answerSize, sizeof answerSize, deadline)) {
        // Crashed, out of memory, out of time or killed by its confinement: the next file gets a new child.
        refusal = stop() ? FileFault::Hostile : FileFault::NoFault;
        return std::nullopt;
    }
    if (answerSize == kRefused) {
        return std::nullopt;
    }
    // The child cannot have built more than its address space holds.
    if (answerSize > limits.addressSpaceBytes) {
        stop();
        return std::nullopt;
    }
    std::string answer(answerSize, '\0');
    if (!receiveAll(channel, answer.data(), answer.size(), deadline)) {
        stop();
        return std::nullopt;
    }
    return deserialise(answer);
}

std::optional<MeshData> MeshReaderProcess::readFile(const char* path)
{
    const std::optional<std::string> contents = readFileContents(path);
    if (!contents) {
        return std::nullopt;
    }
    const std::uint64_t key = cacheHash(*contents);
    if (!cacheFolder.empty()) {
        if (std::optional<MeshData> kept = loadCachedMesh(cacheFolder, key, limits.addressSpaceBytes)) {
            return kept;
        }
    }
    std::optional<MeshData> mesh = read(bytesOf(*contents));
    if (refusal != FileFault::NoFault) {
        noteFileFault(path, refusal);
    }
    if (mesh && !cacheFolder.empty()) {
        storeCachedMesh(cacheFolder, key, *mesh);
    }
    return mesh;
}

} // namespace torvane
