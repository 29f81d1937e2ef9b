// VideoEncoder::open: the encoder module loaded, its encoder opened.
#include "video/video_encoder.h"

#include "core/program_module.h"

namespace torvane {

std::unique_ptr<VideoEncoder> VideoEncoder::open(std::FILE* file, const std::string& name, FrameSize source,
                                                 FrameSize size, double framesPerSecond, std::string& error)
{
    const auto openEncoder =
        reinterpret_cast<OpenVideoEncoder>(programModuleFunction(kVideoModule, "torvaneOpenVideoEncoder", error));
    if (openEncoder == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<VideoEncoder>(openEncoder(file, name, source, size, framesPerSecond, error));
}

} // namespace torvane
