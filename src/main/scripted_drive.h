// A drive from a key script or a seeded random drive, replayed through the
// game's start-up and frames with fixed or seeded random frame times, its
// telemetry and screenshots written as it goes.
#pragma once

#include <string>
#include <variant>

#include "main/replay_outputs.h"
#include "replay/random_drive.h"
#include "replay/replay_options.h"
#include "input/key_script.h"

namespace torvane {

// The keys of each frame: from a script read whole, or a random drive drawn as it goes.
using KeySource = std::variant<KeyScriptPlayer, RandomKeyPlayer>;

// Runs frames frames of the drive with the car file carFile; the exit status.
int runScriptedDrive(const ReplayOptions& options, const std::string& carFile, KeySource& keySource, int frames,
                     Outputs& outputs);

} // namespace torvane
