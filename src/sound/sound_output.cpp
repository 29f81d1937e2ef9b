#include "sound/sound_output.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cstring>
#include <vector>

namespace torvane {
namespace {

// The listener's distance at which a voice plays at its own gain, u (about the chase camera's).
constexpr float kReferenceDistance = 15.0f;
constexpr float kFarthestDistance = 500.0f;
enum Source {
    kEngineOff,
    kEngineOn,
    kFirstTyre,
    kFirstThump = kFirstTyre + kSoundTyres,
    kSourceCount = kFirstThump + kThumpVoices,
};
enum Buffer { kEngineOffClip, kEngineOnClip, kSquealClip, kThumpClip, kBufferCount };

// The game's world is left-handed and OpenAL's right-handed: mirrored in z.
void position(ALuint source, Vector3 v)
{
    alSource3f(source, AL_POSITION, v.x, v.y, -v.z);
}

} // namespace

struct SoundOutput::Handles {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    bool loopback = false;
    ALuint buffers[kBufferCount] = {};
    ALuint sources[kSourceCount] = {};

    ~Handles()
    {
        if (context != nullptr) {
            alDeleteSources(kSourceCount, sources);
            alDeleteBuffers(kBufferCount, buffers);
            alcMakeContextCurrent(nullptr);
            alcDestroyContext(context);
        }
        if (device != nullptr) {
            alcCloseDevice(device);
        }
    }
};

SoundOutput::SoundOutput(std::unique_ptr<Handles> opened) : al(std::move(opened)) {}

SoundOutput::~SoundOutput() = default;

std::unique_ptr<SoundOutput> SoundOutput::openPlayback(const SoundClips& clips, std::string& why)
{
    auto opened = std::make_unique<Handles>();
    opened->device = alcOpenDevice(nullptr);
    if (opened->device == nullptr) {
        why = "aucun périphérique audio";
        return nullptr;
    }
    // The full name: OpenAL Soft calls every device it opens by default "OpenAL Soft".
    const bool fullNames = alcIsExtensionPresent(nullptr, "ALC_ENUMERATE_ALL_EXT") == ALC_TRUE;
    const char* name = alcGetString(opened->device, fullNames ? ALC_ALL_DEVICES_SPECIFIER : ALC_DEVICE_SPECIFIER);
    if (name != nullptr && std::strcmp(name, "No Output") == 0) {
        why = "OpenAL n'offre que sa sortie nulle";
        return nullptr;
    }
    opened->context = alcCreateContext(opened->device, nullptr);
    return start(std::move(opened), clips, why);
}

std::unique_ptr<SoundOutput> SoundOutput::openLoopback(const SoundClips& clips, std::string& why)
{
    auto opened = std::make_unique<Handles>();
    opened->loopback = true;
    opened->device = alcLoopbackOpenDeviceSOFT(nullptr);
    if (opened->device == nullptr ||
        !alcIsRenderFormatSupportedSOFT(opened->device, kRenderRate, ALC_STEREO_SOFT, ALC_FLOAT_SOFT)) {
        why = "OpenAL n'a pas de rendu hors ligne en stéréo à 44,1 kHz";
        return nullptr;
    }
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY, kRenderRate, ALC_HRTF_SOFT, ALC_FALSE, 0};
    opened->context = alcCreateContext(opened->device, attributes);
    return start(std::move(opened), clips, why);
}

std::unique_ptr<SoundOutput> SoundOutput::start(std::unique_ptr<Handles> opened, const SoundClips& clips,
                                                std::string& why)
{
    if (opened->context == nullptr || alcMakeContextCurrent(opened->context) == ALC_FALSE) {
        why = "le périphérique audio refuse un contexte";
        return nullptr;
    }
    alGetError();
    alGenBuffers(kBufferCount, opened->buffers);
    alGenSources(kSourceCount, opened->sources);
    const std::vector<std::int16_t>* samples[kBufferCount] = {&clips.engineOff, &clips.engineOn, &clips.squeal,
                                                              &clips.thump};
    for (int i = 0; i < kBufferCount; ++i) {
        alBufferData(opened->buffers[i], AL_FORMAT_MONO16, samples[i]->data(),
                     static_cast<ALsizei>(samples[i]->size() * sizeof(std::int16_t)), clips.rate);
    }
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    for (int i = 0; i < kSourceCount; ++i) {
        const ALuint source = opened->sources[i];
        const Buffer clip = i == kEngineOff ? kEngineOffClip
                            : i == kEngineOn ? kEngineOnClip
                            : i < kFirstThump ? kSquealClip
                                              : kThumpClip;
        alSourcei(source, AL_BUFFER, static_cast<ALint>(opened->buffers[clip]));
        alSourcef(source, AL_REFERENCE_DISTANCE, kReferenceDistance);
        alSourcef(source, AL_MAX_DISTANCE, kFarthestDistance);
        alSourcef(source, AL_GAIN, 0.0f);
        if (i < kFirstThump) {
            alSourcei(source, AL_LOOPING, AL_TRUE);
            alSourcePlay(source);
        }
        if (clip == kSquealClip) { // each tyre from another point of the loop, so that four do not sound as one
            const std::size_t quarter = static_cast<std::size_t>(i - kFirstTyre) * clips.squeal.size() / kSoundTyres;
            alSourcei(source, AL_SAMPLE_OFFSET, static_cast<ALint>(quarter));
        }
    }
    alListenerf(AL_GAIN, 0.0f);
    if (alGetError() != AL_NO_ERROR) {
        why = "le périphérique audio refuse les sons";
        return nullptr;
    }
    return std::unique_ptr<SoundOutput>(new SoundOutput(std::move(opened)));
}

void SoundOutput::apply(const SoundMix& mix, Vector3 listener, Vector3 facing, float gain)
{
    const ALuint* sources = al->sources;
    alDeferUpdatesSOFT();
    const Voice* loops[kFirstThump] = {&mix.engineOff, &mix.engineOn, &mix.tyres[0], &mix.tyres[1], &mix.tyres[2],
                                       &mix.tyres[3]};
    for (int i = 0; i < kFirstThump; ++i) {
        alSourcef(sources[i], AL_GAIN, loops[i]->gain);
        alSourcef(sources[i], AL_PITCH, loops[i]->pitch);
        position(sources[i], loops[i]->position);
    }
    if (mix.thump.gain > 0.0f) {
        const ALuint thump = sources[kFirstThump + nextThump];
        nextThump = (nextThump + 1) % kThumpVoices;
        alSourceStop(thump);
        alSourcef(thump, AL_GAIN, mix.thump.gain);
        position(thump, mix.thump.position);
        alSourcePlay(thump);
    }
    alListener3f(AL_POSITION, listener.x, listener.y, -listener.z);
    const ALfloat orientation[6] = {facing.x, facing.y, -facing.z, 0.0f, 1.0f, 0.0f};
    alListenerfv(AL_ORIENTATION, orientation);
    alListenerf(AL_GAIN, gain);
    alProcessUpdatesSOFT();
}

void SoundOutput::render(float* interleaved, int frames)
{
    if (al->loopback) {
        alcRenderSamplesSOFT(al->device, interleaved, frames);
    }
}

} // namespace torvane
