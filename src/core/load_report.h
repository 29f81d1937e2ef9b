// Load reports: the files that failed while the game loads, gathered into one
// box per kind of failure (a mesh, a texture, a level file) instead of a box
// per failure. While a ScopedLoadReport lives, reportFileProblem only records;
// the report shows its boxes when it ends. Without one, each problem is a box
// of its own at once. Every box names its files and why each failed.
//
// Shortcomings: one report for the whole process, not thread-safe; a nested
// report leaves the gathering to the outer one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_contents.h"

namespace torvane {

enum class FileProblemKind { LevelFile, Mesh, Texture };

// The distinct files a box lists; the others are counted.
inline constexpr std::size_t kFilesListedPerBox = 5;

struct ListedFile {
    std::string path;
    FileFault fault = FileFault::NoFault; // NoFault: the cause is not known
};

// The problems of one kind in one load.
struct FileProblems {
    int occurrences = 0;
    int distinctFiles = 0;
    std::vector<ListedFile> listed; // the first kFilesListedPerBox distinct files, in order
};

// What went wrong with path; fault NoFault when the cause is not known.
void reportFileProblem(FileProblemKind kind, std::string_view path, FileFault fault);

class ScopedLoadReport {
public:
    ScopedLoadReport();
    // Shows one box per kind of problem recorded, in the order the kinds first occurred.
    ~ScopedLoadReport();
    ScopedLoadReport(const ScopedLoadReport&) = delete;
    ScopedLoadReport& operator=(const ScopedLoadReport&) = delete;
};

} // namespace torvane
