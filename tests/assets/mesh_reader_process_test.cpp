// The mesh reader process under hostile files: a few bytes that ask Assimp for
// gigabytes or minutes are refused within the reader's limits, a crash loses
// no later file, a child taken over cannot reach beyond its socket, and the
// reader does not outlive its parent; a mesh kept in the cache is taken only
// from a sound entry.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <filesystem>
#include <thread>
#include <string>

#include <gtest/gtest.h>

#include "assets/mesh_reader_process.h"
#include "core/file_contents.h"
#include "core/file_fault_log.h"
#include "support/scratch_folder.h"

namespace torvane {
namespace {

using namespace std::chrono_literals;

const std::string kSoundFile = TORVANE_DATA_DIR "/objets/cars/mycar.x";

// A mesh of one triangle whose header declares vertices vertices and faces faces.
std::string declaring(const std::string& vertices, const std::string& faces)
{
    return "xof 0303txt 0032\nMesh {\n " + vertices + "; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;\n " + faces +
           "; 3;0,1,2;;\n}\n";
}

// frames sibling frames of one triangle each, which Assimp's pre-transform step takes in quadratic time.
std::string siblingFrames(int frames)
{
    std::ostringstream text;
    text << "xof 0303txt 0032\n";
    for (int i = 0; i < frames; ++i) {
        text << "Frame F" << i << " { Mesh { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;; "
             << "MeshMaterialList { 1; 1; 0;; Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; } } } }\n";
    }
    return text.str();
}

TEST(MeshReaderProcess, HugeDeclaredCountsAreRefusedWithinTheMemoryLimit)
{
    constexpr std::uint64_t kBudget = std::uint64_t{256} << 20;
    {
        MeshReaderProcess reader({kBudget, 30s});
        EXPECT_FALSE(reader.read(bytesOf(declaring("200000000", "1"))));
        EXPECT_FALSE(reader.read(bytesOf(declaring("3", "200000000"))));
        EXPECT_TRUE(reader.readFile(kSoundFile.c_str())) << "the next file still reads";
    } // the reader's child is reaped here, so its peak counts in the largest resident set of the children waited for
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    EXPECT_LT(std::uint64_t(children.ru_maxrss) * 1024, kBudget + (std::uint64_t{64} << 20));
}

TEST(MeshReaderProcess, AFileThatTakesTooLongIsRefusedAtTheTimeLimit)
{
    MeshReaderProcess reader({std::uint64_t{512} << 20, 1s});
    const std::string slow = siblingFrames(6000);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(reader.read(bytesOf(slow)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "killed at the limit, not left to finish";
    EXPECT_TRUE(reader.readFile(kSoundFile.c_str())) << "a new child reads the next file";

    MeshReaderProcess patient({std::uint64_t{512} << 20, 60s});
    EXPECT_TRUE(patient.read(bytesOf(siblingFrames(20)))) << "a few frames are fine";
}

TEST(MeshReaderProcess, ACrashLosesNoLaterFile)
{
    MeshReaderProcess reader;
    for (const auto& entry : std::filesystem::directory_iterator(TORVANE_CRASHING_X_DIR)) {
        EXPECT_FALSE(reader.readFile(entry.path().c_str())) << entry.path();
        EXPECT_TRUE(reader.readFile(kSoundFile.c_str())) << "after " << entry.path();
    }
}

TEST(MeshReaderProcess, AKeptMeshIsTakenFromTheCacheWithoutTheChildOnlyWhileItsEntryIsSound)
{
    const ScratchFolder folder;
    MeshReaderProcess reader;
    reader.keepMeshesIn(folder.path.string());
    const std::optional<MeshData> parsed = reader.readFile(kSoundFile.c_str());
    ASSERT_TRUE(parsed);
    // A reader whose child ends before answering can only give what the cache keeps.
    MeshReaderProcess childless({}, [] { _exit(0); });
    childless.keepMeshesIn(folder.path.string());
    const std::optional<MeshData> kept = childless.readFile(kSoundFile.c_str());
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->vertices.size(), parsed->vertices.size());
    EXPECT_EQ(kept->subsetIndices, parsed->subsetIndices);
    EXPECT_EQ(kept->materials.back().textureFile, parsed->materials.back().textureFile);

    const std::filesystem::path entry = std::filesystem::directory_iterator(folder.path)->path();
    std::fstream(entry, std::ios::in | std::ios::out | std::ios::binary).seekp(-1, std::ios::end).put('\x7f');
    EXPECT_FALSE(childless.readFile(kSoundFile.c_str())) << "a damaged entry is not taken";
    EXPECT_TRUE(reader.readFile(kSoundFile.c_str()));
    EXPECT_TRUE(childless.readFile(kSoundFile.c_str())) << "the entry written again";
}

// What a file that took Assimp over might do once the child is confined.
struct ChildAttempt {
    const char* what;
    void (*attempt)();
    bool allowed;
};
const ChildAttempt kChildAttempts[] = {
    {"open a file", [] { (void)!open("/etc/hostname", O_RDONLY); }, false},
    {"create a file", [] { (void)!open("torvane-confined-child-file", O_WRONLY | O_CREAT, 0600); }, false},
    {"execute a program", [] { execl("/bin/true", "true", nullptr); }, false},
    {"open a network socket", [] { (void)!socket(AF_INET, SOCK_STREAM, 0); }, false},
    {"fork", [] { (void)!fork(); }, false},
    {"write to stderr", [] { (void)!write(2, "x", 1); }, false},
    {"map executable memory",
     [] { (void)!mmap(nullptr, 4096, PROT_READ | PROT_EXEC, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0); }, false},
    {"allocate, grow and free 64 MB", [] {
         std::vector<char> block(std::size_t{1} << 20, 'x');
         block.resize(std::size_t{64} << 20, 'y');
         std::string copy(block.begin(), block.end());
         (void)!copy.size();
     }, true},
};

TEST(MeshReaderProcess, AConfinedChildIsKilledForAnythingButItsSocketAndMemory)
{
    for (const ChildAttempt& attempt : kChildAttempts) {
        MeshReaderProcess reader({}, attempt.attempt);
        EXPECT_EQ(reader.readFile(kSoundFile.c_str()).has_value(), attempt.allowed) << attempt.what;
        const FileFault expected = attempt.allowed ? FileFault::NoFault : FileFault::Hostile;
        EXPECT_EQ(reader.lastRefusal(), expected) << attempt.what;
        EXPECT_EQ(fileFaultOf(kSoundFile), expected) << attempt.what;
    }
    EXPECT_FALSE(std::filesystem::exists("torvane-confined-child-file"));
    // A file Assimp refuses is not called hostile. (Under AddressSanitizer a
    // child that fails to allocate dies writing its report: that one is.)
    MeshReaderProcess reader;
    EXPECT_FALSE(reader.read(bytesOf("xof 0303txt 0032\nMesh { nonsense")));
    EXPECT_EQ(reader.lastRefusal(), FileFault::NoFault);
}

TEST(MeshReaderProcess, TheChildDiesWithItsParent)
{
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t parent = fork();
    if (parent == 0) {
        // A parent that starts a reader, says its child's pid and ends without cleaning up.
        MeshReaderProcess reader;
        pid_t said = 0;
        if (reader.readFile(kSoundFile.c_str())) {
            std::ifstream("/proc/self/task/" + std::to_string(getpid()) + "/children") >> said;
        }
        (void)!write(channel[1], &said, sizeof said);
        _exit(0);
    }
    close(channel[1]);
    pid_t readerChild = 0;
    ASSERT_EQ(read(channel[0], &readerChild, sizeof readerChild), static_cast<ssize_t>(sizeof readerChild));
    close(channel[0]);
    waitpid(parent, nullptr, 0);
    ASSERT_GT(readerChild, 0);

    // Gone, or a zombie waiting for whoever adopted it.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    bool ended = false;
    while (!ended && std::chrono::steady_clock::now() < deadline) {
        std::ifstream stat("/proc/" + std::to_string(readerChild) + "/stat");
        std::string pid, name, state;
        ended = !(stat >> pid >> name >> state) || state == "Z";
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(ended);
}

} // namespace
} // namespace torvane
