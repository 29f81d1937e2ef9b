// Atomic file writing: everything the program writes (telemetry, screenshots,
// and later recordings, settings) goes to a fresh temporary file beside its
// target, which replaces the target only once complete. A failed or abandoned
// write leaves the target as it was, and no temporary behind.
//
// Shortcomings: the temporary is named ".<name>.XXXXXX" in the target's folder,
// so that folder must be writable; a target that is a symbolic link is replaced
// by a regular file, not written through.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace torvane {

class AtomicFile {
public:
    // Creates the temporary beside path; isOpen() tells whether that worked.
    explicit AtomicFile(std::string path);
    // Discards the temporary unless committed.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&& other) = delete;

    bool isOpen() const { return stream != nullptr; }
    // The temporary's stream, for writing; null when not open.
    std::FILE* file() const { return stream; }
    const std::string& targetPath() const { return target; }

    // Flushes, syncs and closes the temporary, leaving it in place; false when
    // any write failed (the temporary is then discarded).
    bool finish();
    // finish() if not yet done, then renames the temporary over the target;
    // false (the target untouched, the temporary gone) on any failure.
    bool commit();
    // Closes and removes the temporary; the target stays as it was.
    void discard();

private:
    std::string target;
    std::string temporary;
    std::FILE* stream = nullptr;
    bool finished = false;
    bool failed = false;
};

// Writes text whole into a temporary beside path and renames it over path;
// false, with the target as it was and no temporary left, when any step fails.
bool writeFileAtomically(const std::string& path, std::string_view text);

} // namespace torvane
