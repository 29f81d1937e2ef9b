#include "main/replay_video.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "core/message_sink.h"
#include "main/replay_outputs.h"

namespace torvane {

VideoOutput::VideoOutput(std::string given, std::string absolutePath, FrameSize asked)
    : path(std::move(given)), file(std::move(absolutePath)), size(asked)
{
}

int openVideo(const ReplayOptions& options, const Inputs& inputs, std::optional<VideoOutput>& video)
{
    if (options.videoFile.empty()) {
        return kDone;
    }
    if (namesAnInput(options.videoFile, inputs)) {
        diagnose(options.videoFile + ": is an input of the run, not overwritten");
        return kBadInput;
    }
    video.emplace(options.videoFile, std::filesystem::absolute(options.videoFile).string(),
                  FrameSize{options.videoWidth, options.videoHeight});
    if (!video->file.isOpen()) {
        reportUnwritable(options.videoFile);
        return kOutputFailed;
    }
    video->showProgress = isatty(STDERR_FILENO) != 0;
    return kDone;
}

void setVideoPace(VideoOutput& video, int frames, double seconds)
{
    video.total = frames;
    if (frames > 0 && seconds > 0.0) {
        video.framesPerSecond = frames / seconds;
    }
}

int addVideoPicture(VideoOutput& video, int width, int height, const std::vector<std::uint8_t>& rgba, float dt)
{
    std::string error;
    if (!video.encoder) {
        const FrameSize size = video.size.width != 0 ? video.size : FrameSize{width & ~1, height & ~1};
        video.encoder = VideoEncoder::open(video.file.file(), video.path, {width, height}, size,
                                           video.framesPerSecond, error);
        if (!video.encoder) {
            diagnose(video.path + " : pas de vidéo : " + error);
            return kOutputFailed;
        }
    }
    if (!video.encoder->addPicture(rgba.data(), video.seconds, error)) {
        diagnose(video.path + " : " + error);
        return kOutputFailed;
    }
    video.seconds += dt;
    ++video.pictures;
    if (video.showProgress && (video.pictures % 10 == 0 || video.pictures == video.total)) {
        std::fprintf(stderr, "\rvidéo %s : %d/%d images", video.path.c_str(), video.pictures, video.total);
    }
    return kDone;
}

bool commitVideo(VideoOutput& video)
{
    if (video.showProgress && video.pictures > 0) {
        std::fputc('\n', stderr);
    }
    std::string error;
    if (video.encoder && !video.encoder->finish(error)) {
        diagnose(video.path + " : " + error);
        return false;
    }
    if (!video.encoder) {
        diagnose(video.path + " : aucune image, pas de vidéo");
        return false;
    }
    if (!video.file.commit()) {
        reportUnwritable(video.path);
        return false;
    }
    return true;
}

} // namespace torvane
