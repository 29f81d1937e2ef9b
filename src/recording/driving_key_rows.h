// DrivingKeyRows: how the driving-key bits of a recording map to this
// program's rows of kDrivingKeys. A recording names the key code behind each
// of its bits, so a drive recorded before the table gained, lost or reordered
// rows still holds the same keys: each recorded key sets today's rows of the
// same code, and a key the table no longer has drives nothing (the state
// hashes then say whether that changed the drive).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "recording/byte_codec.h"

namespace torvane {

struct DrivingKeyRows {
    std::uint32_t recordedCount = 0;         // bits the recording uses, at most 64
    std::array<std::uint64_t, 64> rowsOfBit{}; // today's rows for each recorded bit

    // Today's rows for the recorded bits; nothing when a bit beyond recordedCount is set.
    std::optional<std::uint64_t> toRows(std::uint64_t recordedBits) const;
};

// u8 n, then the n key codes of kDrivingKeys in row order.
void writeDrivingKeyCodes(ByteWriter& out);
// The map for the codes a recording names; nothing when the bytes are short or name more than 64 keys.
std::optional<DrivingKeyRows> readDrivingKeyCodes(ByteReader& in);

} // namespace torvane
