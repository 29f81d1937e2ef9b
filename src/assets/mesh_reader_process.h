// MeshReaderProcess: .x files parsed in one long-lived child process. Assimp's
// .x importer crashes on some malformed files (seen under the fuzzer) and a
// few hundred bytes can ask it for gigabytes or minutes; none of that may reach
// the game. The child is forked on the first request and serves every file
// after it: the parent sends the file's bytes through a socket, the child
// parses them and sends the mesh back. Each file is bounded in memory (the
// child's address space) and in wall-clock time (the parent kills the child);
// a file that crashes the child or hits a bound is refused like an unreadable
// file, and the next request starts a new child. The child dies with the
// thread that forked it. Before its first request the child confines itself
// to its socket (assets/reader_sandbox.h), once it has loaded the importer
// module (Assimp, assets/x_mesh_file.h): a file that takes Assimp over and
// tries to open, execute, fork or connect kills the child, and is refused as
// hostile.
//
// Shortcomings: Linux only (fork, prctl, setrlimit, seccomp). The memory bound counts
// from the address space the child inherits at fork (the game's libraries and
// driver mappings), not from zero: a child forked by a program with a large
// address space gets the bound on top of it. Requests are served one at a time.
// A kept mesh is what this build's importer made of the file: a change to the
// import must change the entries' magic, or old entries keep the old meshes.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "assets/x_mesh_file.h"
#include "core/file_contents.h"

namespace torvane {

struct MeshReaderLimits {
    // What the child may map beyond what it inherits at fork and the importer module, bytes.
    std::uint64_t addressSpaceBytes = std::uint64_t{512} << 20;
    // The longest one file may take from the request to the whole answer.
    std::chrono::milliseconds wallClockPerFile{10000};
};

class MeshReaderProcess {
public:
    // inConfinedChild, for tests, runs in each child once it is confined,
    // before its first request: a stand-in for a file that took Assimp over.
    explicit MeshReaderProcess(MeshReaderLimits limits = {}, void (*inConfinedChild)() = nullptr);
    // Ends and reaps the child.
    ~MeshReaderProcess();

    // readXMeshMemory(data) in the child; nullopt when the file is refused,
    // when the child crashes or when it hits a limit.
    std::optional<MeshData> read(std::span<const std::uint8_t> data);
    // The same for the file at path; nullopt also when it cannot be read. A
    // refusal's cause is noted in the file fault log (core/file_fault_log.h).
    std::optional<MeshData> readFile(const char* path);
    // Keeps each mesh readFile reads in folder (the user's cache) and, while the
    // file's bytes stay the same, takes it from there instead: a start-up whose
    // meshes are all kept never starts the child, nor loads Assimp.
    void keepMeshesIn(std::string folder) { cacheFolder = std::move(folder); }
    // Why the last read gave nothing, when the reader can tell: Hostile when
    // the child died of a forbidden system call; NoFault otherwise.
    FileFault lastRefusal() const { return refusal; }

    MeshReaderProcess(const MeshReaderProcess&) = delete;
    MeshReaderProcess& operator=(const MeshReaderProcess&) = delete;

private:
    bool start();
    // Ends and reaps the child; true when it had died of a forbidden system call.
    bool stop();

    MeshReaderLimits limits;
    void (*inConfinedChild)();
    FileFault refusal = FileFault::NoFault;
    std::string cacheFolder; // empty: nothing kept
    pid_t child = -1;
    int channel = -1; // the parent's end of the socket pair
};

} // namespace torvane
