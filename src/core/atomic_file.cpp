#include "core/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <utility>

namespace torvane {
namespace {

// The mode a new file at path gets: the target's own when it exists, else what
// the umask leaves of read and write for all.
mode_t modeFor(const std::string& path)
{
    struct stat existing {};
    if (stat(path.c_str(), &existing) == 0) {
        return existing.st_mode & 07777;
    }
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

AtomicFile::AtomicFile(std::string path) : target(std::move(path))
{
    const std::filesystem::path targetPath(target);
    std::string pattern = (targetPath.parent_path() / ("." + targetPath.filename().string() + ".XXXXXX")).string();
    const int descriptor = mkostemp(pattern.data(), O_CLOEXEC);
    if (descriptor < 0) {
        return;
    }
    temporary = std::move(pattern);
    fchmod(descriptor, modeFor(target)); // mkostemp makes it private to the owner
    stream = fdopen(descriptor, "wb");
    if (stream == nullptr) {
        close(descriptor);
        std::remove(temporary.c_str());
        temporary.clear();
    }
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : target(std::move(other.target)), temporary(std::exchange(other.temporary, {})),
      stream(std::exchange(other.stream, nullptr)), finished(other.finished), failed(other.failed)
{
}

AtomicFile::~AtomicFile()
{
    discard();
}

bool AtomicFile::finish()
{
    if (finished) {
        return !failed;
    }
    if (stream == nullptr) {
        return false;
    }
    finished = true;
    const bool flushed = std::fflush(stream) == 0 && std::ferror(stream) == 0 && fsync(fileno(stream)) == 0;
    const bool closed = std::fclose(stream) == 0;
    stream = nullptr;
    if (!flushed || !closed) {
        discard();
        return false;
    }
    return true;
}

bool AtomicFile::commit()
{
    if (temporary.empty() || !finish() || std::rename(temporary.c_str(), target.c_str()) != 0) {
        discard();
        return false;
    }
    temporary.clear();
    return true;
}

void AtomicFile::discard()
{
    failed = true;
    if (stream != nullptr) {
        std::fclose(stream);
        stream = nullptr;
    }
    if (!temporary.empty()) {
        std::remove(temporary.c_str());
        temporary.clear();
    }
}

bool writeFileAtomically(const std::string& path, std::string_view text)
{
    AtomicFile file(path);
    return file.isOpen() && std::fwrite(text.data(), 1, text.size(), file.file()) == text.size() && file.commit();
}

} // namespace torvane
