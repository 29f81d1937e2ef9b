#include "sound/wav_render.h"

#include <algorithm>
#include <cmath>

#include <sndfile.h>

namespace torvane {

WavRender::WavRender(SoundOutput& renderedOutput, std::FILE* file) : output(renderedOutput)
{
    if (file == nullptr) {
        return;
    }
    SF_INFO info{};
    info.samplerate = kRenderRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    wav = sf_open_fd(fileno(file), SFM_WRITE, &info, SF_FALSE);
    if (wav != nullptr) {
        sf_command(wav, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    }
}

WavRender::~WavRender()
{
    finish();
}

bool WavRender::advance(double frameSeconds)
{
    seconds += frameSeconds;
    const auto due = static_cast<std::int64_t>(std::floor(seconds * kRenderRate));
    while (wav != nullptr && rendered < due) {
        const auto frames = static_cast<int>(std::min<std::int64_t>(kChunkFrames, due - rendered));
        output.render(chunk, frames);
        if (sf_writef_float(wav, chunk, frames) != frames) {
            return false;
        }
        rendered += frames;
    }
    return wav != nullptr;
}

bool WavRender::finish()
{
    if (wav == nullptr) {
        return false;
    }
    const int closed = sf_close(wav);
    wav = nullptr;
    return closed == 0;
}

} // namespace torvane
