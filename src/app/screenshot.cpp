#include "app/screenshot.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "assets/png_encode.h"

namespace torvane {

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
