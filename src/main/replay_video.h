// The replay tool's video: the picture after each replayed frame, stamped with
// the drive's own frame times, encoded (video/video_encoder.h) into a
// temporary file beside the target that is renamed into place only when the
// run ends well; a progress line on stderr when it is a terminal.
//
// Shortcoming: the sound is not in the video.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/atomic_file.h"
#include "replay/replay_options.h"
#include "video/video_encoder.h"

namespace torvane {

struct Inputs;

struct VideoOutput {
    std::string path;       // as given on the command line
    AtomicFile file;
    FrameSize size;         // pixels; zero: the picture's own, rounded down to even
    std::unique_ptr<VideoEncoder> encoder; // opened with the first picture
    double framesPerSecond = 60.0;
    int total = 0;          // frames the drive has, for the progress line
    int pictures = 0;
    double seconds = 0.0;   // from the first picture to the next one
    bool showProgress = false;

    VideoOutput(std::string given, std::string absolutePath, FrameSize asked);
};

// Opens the temporary file of options.videoFile (none when not asked for);
// the exit status, after naming what failed or that the file is an input.
int openVideo(const ReplayOptions& options, const Inputs& inputs, std::optional<VideoOutput>& video);

// The drive's pace, for the encoder and the progress line: frames in seconds.
void setVideoPace(VideoOutput& video, int frames, double seconds);

// Adds the picture shown after a frame of dt seconds (width × height, RGBA, row 0 at the top); the exit status.
int addVideoPicture(VideoOutput& video, int width, int height, const std::vector<std::uint8_t>& rgba, float dt);

// Ends the video and renames it into place; false after naming what failed.
bool commitVideo(VideoOutput& video);

} // namespace torvane
