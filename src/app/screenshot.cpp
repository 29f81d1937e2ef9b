#include "app/screenshot.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include "assets/png_encode.h"

namespace torvane {
namespace {

// The value of NAME="..." in an XDG user-dirs file, "$HOME" replaced by home.
std::optional<std::filesystem::path> userDir(const std::filesystem::path& file, const std::string& name,
                                             const std::string& home)
{
    std::ifstream in(file);
    std::string line;
    const std::string prefix = name + "=\"";
    while (std::getline(in, line)) {
        if (line.rfind(prefix, 0) != 0 || line.size() < prefix.size() + 1 || line.back() != '"') {
            continue;
        }
        std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
        if (value.rfind("$HOME", 0) == 0) {
            value = home + value.substr(5);
        }
        if (!value.empty() && value.front() == '/') {
            return std::filesystem::path(value);
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::filesystem::path> picturesFolder()
{
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        return std::nullopt;
    }
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const std::filesystem::path config = configHome != nullptr && *configHome == '/'
                                             ? std::filesystem::path(configHome)
                                             : std::filesystem::path(home) / ".config";
    if (std::optional<std::filesystem::path> folder = userDir(config / "user-dirs.dirs", "XDG_PICTURES_DIR", home)) {
        return folder;
    }
    return std::filesystem::path(home) / "Pictures";
}

std::string screenshotName(std::uint64_t frame)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
    char name[80];
    std::snprintf(name, sizeof name, "torvane-%s-frame%06llu.png", stamp, static_cast<unsigned long long>(frame));
    return name;
}

bool saveScreenshot(const Image& picture, const std::filesystem::path& path)
{
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    const std::filesystem::path temporary = path.string() + ".part-" + std::to_string(getpid());
    if (!writePngFile(temporary.c_str(), picture)) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

} // namespace torvane
