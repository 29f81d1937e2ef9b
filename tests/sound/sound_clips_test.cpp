#include <sndfile.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sound/sound_clips.h"
#include "support/scratch_folder.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

const char* const kClipNames[] = {"engine_off.wav", "engine_on.wav", "tyre_squeal.wav", "wall_thump.wav"};

// A WAV of frames frames of channels channels at rate.
void writeWav(const fs::path& path, int channels, int rate, sf_count_t frames)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    const std::vector<short> samples(static_cast<std::size_t>(frames * channels), 1000);
    sf_writef_short(file, samples.data(), frames);
    sf_close(file);
}

// Four good clips, then each fault in one of them: the set is refused with the file and the cause.
TEST(SoundClips, AnyFaultyFileRefusesTheSetWithItsCause)
{
    const ScratchFolder folder;
    auto writeGood = [&] {
        for (const char* name : kClipNames) {
            writeWav(folder / name, 1, 22050, 2205);
        }
    };
    writeGood();
    const ClipsRead good = readSoundClips(folder.path.string());
    ASSERT_TRUE(good.clips) << good.error;
    EXPECT_EQ(good.clips->rate, 22050);
    EXPECT_EQ(good.clips->thump.size(), 2205u);

    const struct {
        const char* name;
        void (*damage)(const fs::path&);
        const char* cause;
    } cases[] = {
        {"missing", [](const fs::path& p) { fs::remove(p); }, "wall_thump.wav: "},
        {"not a sound", [](const fs::path& p) { std::ofstream(p) << "RIFF junk"; }, "wall_thump.wav: "},
        {"stereo", [](const fs::path& p) { writeWav(p, 2, 22050, 100); }, "not mono (2 channels)"},
        {"another rate", [](const fs::path& p) { writeWav(p, 1, 44100, 100); }, "sampled at 44100 Hz, not 22050 Hz"},
        {"empty", [](const fs::path& p) { writeWav(p, 1, 22050, 0); }, "empty or longer than 10 s"},
        {"too long", [](const fs::path& p) { writeWav(p, 1, 22050, 22050 * 11); }, "empty or longer than 10 s"},
    };
    for (const auto& fault : cases) {
        writeGood();
        fault.damage(folder / "wall_thump.wav");
        const ClipsRead read = readSoundClips(folder.path.string());
        EXPECT_FALSE(read.clips) << fault.name;
        EXPECT_NE(read.error.find(fault.cause), std::string::npos) << fault.name << ": " << read.error;
    }
}

} // namespace
} // namespace torvane
