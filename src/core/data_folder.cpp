#include "core/data_folder.h"

#include <filesystem>
#include <system_error>

#include "core/file_contents.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

// Why folder is no data folder; nothing when it is one.
std::optional<DataFolderProblem> dataFolderProblem(const fs::path& folder)
{
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        return DataFolderProblem::kNotAFolder;
    }
    for (const char* part : {"maps", "objets", "cars"}) {
        if (fs::is_directory(folder / part, error)) {
            return std::nullopt;
        }
    }
    return DataFolderProblem::kNoGameFiles;
}

// The folder named in the build tree's note beside the program; empty without one.
std::string sourceTreeFolder(const fs::path& programFolder)
{
    const std::optional<std::string> note = readFileContents((programFolder / kSourceDataNote).c_str());
    if (!note) {
        return {};
    }
    std::string folder = *note;
    while (!folder.empty() && (folder.back() == '\n' || folder.back() == '\r')) {
        folder.pop_back();
    }
    return folder;
}

// Looks in folder; true (with search.folder set) when it is the data folder.
bool lookIn(DataFolderSearch& search, const fs::path& folder, DataFolderClue from)
{
    const std::optional<DataFolderProblem> problem = dataFolderProblem(folder);
    if (!problem) {
        std::error_code error;
        const fs::path absolute = fs::absolute(folder, error);
        search.folder = (error ? folder : absolute).lexically_normal().string();
        return true;
    }
    search.lookedIn.push_back({folder.string(), from, *problem});
    return false;
}

} // namespace

DataFolderSearch findDataFolder(const DataFolderClues& clues)
{
    DataFolderSearch search;
    if (!clues.option.empty()) {
        lookIn(search, clues.option, DataFolderClue::kOption);
        return search;
    }
    if (!clues.environment.empty()) {
        lookIn(search, clues.environment, DataFolderClue::kEnvironment);
        return search;
    }
    if (clues.programFolder.empty()) {
        return search;
    }
    const fs::path programFolder(clues.programFolder);
    if (lookIn(search, (programFolder / ".." / "share" / "torvane").lexically_normal(), DataFolderClue::kInstall)) {
        return search;
    }
    const std::string sourceFolder = sourceTreeFolder(programFolder);
    if (!sourceFolder.empty()) {
        lookIn(search, sourceFolder, DataFolderClue::kSourceTree);
    }
    return search;
}

std::string lookedInLine(const LookedInPlace& place)
{
    static constexpr const char* kFrom[] = {"--data", "TORVANE_DATA", "installed beside the program",
                                            "the source tree of this build"};
    return place.folder + ": " +
           (place.problem == DataFolderProblem::kNotAFolder ? "cannot enter the data folder" : "no maps/, objets/ or cars/ in it") +
           " (" + kFrom[static_cast<int>(place.from)] + ")";
}

} // namespace torvane
