#include "sound/sound_clips.h"

#include <sndfile.h>

#include <memory>

namespace torvane {
namespace {

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

// Reads one mono file into samples; the cause when it cannot.
std::string readClip(const std::string& path, int& rate, std::vector<std::int16_t>& samples)
{
    SF_INFO info{};
    const std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (file == nullptr) {
        return sf_strerror(nullptr);
    }
    if (info.channels != 1) {
        return "not mono (" + std::to_string(info.channels) + " channels)";
    }
    if (info.samplerate <= 0 || (rate != 0 && info.samplerate != rate)) {
        return "sampled at " + std::to_string(info.samplerate) + " Hz, not " + std::to_string(rate) + " Hz";
    }
    if (info.frames <= 0 || static_cast<double>(info.frames) > kLongestClipSeconds * info.samplerate) {
        return "empty or longer than " + std::to_string(static_cast<int>(kLongestClipSeconds)) + " s";
    }
    rate = info.samplerate;
    samples.resize(static_cast<std::size_t>(info.frames));
    if (sf_readf_short(file.get(), samples.data(), info.frames) != info.frames) {
        return "cut short";
    }
    return {};
}

} // namespace

ClipsRead readSoundClips(const std::string& folder)
{
    SoundClips clips;
    const std::pair<const char*, std::vector<std::int16_t>*> files[] = {
        {"engine_off.wav", &clips.engineOff},
        {"engine_on.wav", &clips.engineOn},
        {"tyre_squeal.wav", &clips.squeal},
        {"wall_thump.wav", &clips.thump},
    };
    for (const auto& [name, samples] : files) {
        const std::string path = folder + "/" + name;
        if (const std::string cause = readClip(path, clips.rate, *samples); !cause.empty()) {
            return {std::nullopt, path + ": " += cause};
        }
    }
    return {std::move(clips), {}};
}

} // namespace torvane
