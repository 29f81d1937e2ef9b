// A drive the game recorded, replayed through the same start-up and frames
// with its recorded frame times and inputs, every state hash checked (unless
// another car drives it), its telemetry and screenshots written as it goes,
// and its keys optionally written out as a key script.
#pragma once

#include <string>

#include "main/replay_outputs.h"
#include "recording/recording.h"
#include "replay/replay_options.h"

namespace torvane {

// Replays a recorded drive and checks its state hashes (not with another car);
// the exit status, after saying how the drive compared.
int runRecordedDrive(const ReplayOptions& options, const Recording& recording, const std::string& carFile,
                     Outputs& outputs);

} // namespace torvane
