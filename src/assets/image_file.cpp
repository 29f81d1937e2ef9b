#include "assets/image_file.h"

#include <algorithm>
#include <array>
#include <mutex>

#include "assets/image_cache.h"
#include "core/content_hash.h"
#include "core/file_fault_log.h"

namespace torvane {
namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::array<std::uint8_t, 3> kJpegSignature{0xFF, 0xD8, 0xFF};

bool startsWith(std::span<const std::uint8_t> data, std::span<const std::uint8_t> prefix)
{
    return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
}

DecodedImage decodeBySignature(std::span<const std::uint8_t> bytes, std::size_t maxPixels)
{
    if (startsWith(bytes, kPngSignature)) {
        return decodePng(bytes, maxPixels);
    }
    if (startsWith(bytes, kJpegSignature)) {
        return decodeJpeg(bytes, maxPixels);
    }
    return {std::nullopt, FileFault::UnsupportedFormat};
}

} // namespace

DecodedImage readImageFile(const char* path, ImageBudget& budget, const std::string& cacheFolder)
{
    // A texture file as large as the largest texture's pixels is already absurd.
    FileRead file = readFile(path, kMaxImagePixels * 4);
    if (!file.contents) {
        return {std::nullopt, file.fault};
    }
    const std::size_t maxPixels = std::min(kMaxImagePixels, budget.remainingPixels());
    const std::uint64_t key = cacheFolder.empty() ? 0 : cacheHash(*file.contents);
    DecodedImage decoded{cacheFolder.empty() ? std::nullopt : loadCachedImage(cacheFolder, key, maxPixels)};
    if (!decoded.image) {
        decoded = decodeBySignature(bytesOf(*file.contents), maxPixels);
        if (decoded.image && !cacheFolder.empty()) {
            storeCachedImage(cacheFolder, key, *decoded.image);
        }
    }
    if (decoded.image) {
        budget.charge(*decoded.image);
    }
    return decoded;
}

std::optional<Image> readImageFile(const char* path, const std::string& cacheFolder)
{
    static std::mutex budgetMutex;
    static ImageBudget processBudget(kTextureBudgetBytes);
    DecodedImage decoded;
    {
        const std::lock_guard lock(budgetMutex);
        decoded = readImageFile(path, processBudget, cacheFolder);
    }
    if (path != nullptr) {
        noteFileFault(path, decoded.fault);
    }
    return std::move(decoded.image);
}

} // namespace torvane
