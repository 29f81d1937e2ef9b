// Finding the game's data folder (the level, meshes and textures), whatever
// the working directory. Looked for in this order:
//   1. the folder given on the command line (--data DIR);
//   2. the folder in the environment variable TORVANE_DATA;
//   3. share/torvane beside the program's bin folder (an install, wherever it was moved);
//   4. the source tree's game/ folder, for a program run from its build tree: the
//      build writes the folder's path into kSourceDataNote beside the programs
//      (never installed, so an installed program holds no source path).
// A folder named on the command line or in the environment is the only place
// looked in: a mistake there is reported, never silently replaced.
// A data folder is a folder holding maps/, objets/ or cars/: the game's files
// are in those. A data folder that lacks one of them (the level file, a mesh) is still
// taken; the readers name what is missing as they meet it, and the game goes on.
//
// Shortcoming: the folder is checked once; files removed afterwards are
// reported by the readers as they are met.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace torvane {

// The file beside the build tree's programs that names the source tree's data folder.
inline constexpr const char* kSourceDataNote = "torvane-source-data";

struct DataFolderClues {
    std::string option;        // --data; empty when not given
    std::string environment;   // TORVANE_DATA; empty when unset
    std::string programFolder; // the folder holding the program; empty when unknown
};

// Where a place looked in came from.
enum class DataFolderClue { kOption, kEnvironment, kInstall, kSourceTree };
// Why a place looked in was not taken.
enum class DataFolderProblem { kNotAFolder, kNoGameFiles };

struct LookedInPlace {
    std::string folder;
    DataFolderClue from;
    DataFolderProblem problem;
};

struct DataFolderSearch {
    std::optional<std::string> folder; // absolute
    std::vector<LookedInPlace> lookedIn;
};

DataFolderSearch findDataFolder(const DataFolderClues& clues);

// "<folder>: cannot enter the data folder (--data)": a place looked in, for the developer.
std::string lookedInLine(const LookedInPlace& place);

} // namespace torvane
