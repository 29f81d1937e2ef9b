#include "assets/image_cache.h"

#include <zlib.h>

#include <cstring>
#include <filesystem>

#include "core/atomic_file.h"
#include "core/content_hash.h"

namespace torvane {
namespace {

constexpr char kMagic[8] = {'T', 'V', 'I', 'M', 'G', '0', '0', '1'};

struct EntryHeader {
    char magic[8];
    std::uint64_t key;
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t crc; // of the pixels
    std::uint32_t unused;
};

std::string entryPath(const std::string& cacheFolder, std::uint64_t key)
{
    return cacheFolder + "/image-" + contentHashText(key).substr(std::strlen("fnv1a64:")) + ".rgba";
}

std::uint32_t crcOf(const std::uint8_t* bytes, std::size_t size)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    while (size > 0) { // zlib takes at most a uInt at a time
        const auto part = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
        crc = crc32(crc, bytes, part);
        bytes += part;
        size -= part;
    }
    return static_cast<std::uint32_t>(crc);
}

} // namespace

std::optional<Image> loadCachedImage(const std::string& cacheFolder, std::uint64_t key, std::size_t maxPixels)
{
    const FileRead file = readFile(entryPath(cacheFolder, key).c_str(), sizeof(EntryHeader) + kMaxImagePixels * 4);
    if (!file.contents || file.contents->size() < sizeof(EntryHeader)) {
        return std::nullopt;
    }
    EntryHeader header{};
    std::memcpy(&header, file.contents->data(), sizeof header);
    const std::size_t pixels = std::size_t{header.width} * header.height;
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.key != key ||
        !isAcceptableImageSize(header.width, header.height) || pixels > maxPixels ||
        file.contents->size() != sizeof header + pixels * 4) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.contents->data()) + sizeof header;
    if (crcOf(bytes, pixels * 4) != header.crc) {
        return std::nullopt;
    }
    return Image{static_cast<int>(header.width), static_cast<int>(header.height),
                 std::vector<std::uint8_t>(bytes, bytes + pixels * 4)};
}

void storeCachedImage(const std::string& cacheFolder, std::uint64_t key, const Image& image)
{
    EntryHeader header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.key = key;
    header.width = static_cast<std::uint32_t>(image.width);
    header.height = static_cast<std::uint32_t>(image.height);
    header.crc = crcOf(image.rgba.data(), image.rgba.size());
    std::error_code ignored;
    std::filesystem::create_directories(cacheFolder, ignored);
    AtomicFile file(entryPath(cacheFolder, key));
    if (file.isOpen() && std::fwrite(&header, sizeof header, 1, file.file()) == 1 &&
        std::fwrite(image.rgba.data(), 1, image.rgba.size(), file.file()) == image.rgba.size()) {
        file.commit();
    }
}

} // namespace torvane
