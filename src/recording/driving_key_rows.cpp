#include "recording/driving_key_rows.h"

#include "input/driving_keys.h"

namespace torvane {
namespace {

// The rows of kDrivingKeys whose key is code.
std::uint64_t rowsOfCode(std::uint8_t code)
{
    std::uint64_t rows = 0;
    for (std::size_t row = 0; row < kDrivingKeys.size(); ++row) {
        if (kDrivingKeys[row].code == code) {
            rows |= std::uint64_t{1} << row;
        }
    }
    return rows;
}

} // namespace

std::optional<std::uint64_t> DrivingKeyRows::toRows(std::uint64_t recordedBits) const
{
    if (recordedCount < 64 && (recordedBits >> recordedCount) != 0) {
        return std::nullopt;
    }
    std::uint64_t rows = 0;
    for (std::uint32_t bit = 0; bit < recordedCount; ++bit) {
        if ((recordedBits >> bit & 1u) != 0) {
            rows |= rowsOfBit[bit];
        }
    }
    return rows;
}

void writeDrivingKeyCodes(ByteWriter& out)
{
    out.u8(static_cast<std::uint8_t>(kDrivingKeys.size()));
    for (const DrivingKey& key : kDrivingKeys) {
        out.u8(static_cast<std::uint8_t>(key.code));
    }
}

std::optional<DrivingKeyRows> readDrivingKeyCodes(ByteReader& in)
{
    DrivingKeyRows map;
    map.recordedCount = in.u8();
    if (map.recordedCount > 64) {
        return std::nullopt;
    }
    for (std::uint32_t bit = 0; bit < map.recordedCount; ++bit) {
        map.rowsOfBit[bit] = rowsOfCode(in.u8());
    }
    if (in.failed()) {
        return std::nullopt;
    }
    return map;
}

} // namespace torvane
