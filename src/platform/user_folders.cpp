#include "platform/user_folders.h"

#include <SDL.h>

#include <cstdlib>
#include <optional>

#include "core/file_contents.h"

namespace torvane {
namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The folder in variable when it holds an absolute path (as the XDG rules ask), else $HOME/fallback.
std::string xdgFolder(const char* variable, const char* fallback)
{
    std::string value = environment(variable);
    if (value.starts_with("/")) {
        return value;
    }
    const std::string home = environment("HOME");
    return home.empty() ? std::string() : home + "/" + fallback;
}

std::string configFolder()
{
    return xdgFolder("XDG_CONFIG_HOME", ".config");
}

} // namespace

std::string programFolder()
{
    char* base = SDL_GetBasePath();
    if (base == nullptr) {
        return {};
    }
    std::string folder = base;
    SDL_free(base);
    return folder;
}

DataFolderSearch searchDataFolder(const std::string& option)
{
    return findDataFolder({option, environment("TORVANE_DATA"), programFolder()});
}

std::string settingsFilePath()
{
    const std::string config = configFolder();
    return config.empty() ? config : config + "/torvane/settings.toml";
}

std::string userDataFolder()
{
    const std::string data = xdgFolder("XDG_DATA_HOME", ".local/share");
    return data.empty() ? data : data + "/torvane";
}

std::string recordingsFolder()
{
    const std::string data = userDataFolder();
    return data.empty() ? data : data + "/recordings";
}

std::string userCacheFolder()
{
    const std::string cache = xdgFolder("XDG_CACHE_HOME", ".cache");
    return cache.empty() ? cache : cache + "/torvane";
}

std::string picturesFolder()
{
    const std::string home = environment("HOME");
    const std::string config = configFolder();
    if (!config.empty()) {
        if (const std::optional<std::string> text = readFileContents((config + "/user-dirs.dirs").c_str())) {
            std::string folder = picturesFolderIn(*text, home);
            if (!folder.empty()) {
                return folder;
            }
        }
    }
    return home.empty() ? home : home + "/Pictures";
}

std::string picturesFolderIn(std::string_view userDirsText, std::string_view home)
{
    // Lines are XDG_PICTURES_DIR="$HOME/Pictures" or an absolute path in the quotes.
    constexpr std::string_view kPrefix = "XDG_PICTURES_DIR=\"";
    std::string folder;
    while (!userDirsText.empty()) {
        const std::size_t end = userDirsText.find('\n');
        std::string_view line = userDirsText.substr(0, end);
        userDirsText = end == std::string_view::npos ? std::string_view() : userDirsText.substr(end + 1);
        if (!line.starts_with(kPrefix) || !line.ends_with('"') || line.size() < kPrefix.size() + 1) {
            continue;
        }
        const std::string_view value = line.substr(kPrefix.size(), line.size() - kPrefix.size() - 1);
        if (value.starts_with("$HOME") && !home.empty()) {
            folder = std::string(home) + std::string(value.substr(5));
        } else if (value.starts_with("/")) {
            folder = std::string(value);
        }
    }
    return folder;
}

} // namespace torvane
