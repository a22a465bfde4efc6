// The portable back end: the clip's bytes come from the resources embedded
// in the library, our RIFF/WAVE parser reads them, and SDL2 plays them.
// The "device" of a slot is its hold on SDL's audio subsystem; the "buffer"
// is an SDL output device opened in the clip's format with the clip's
// samples beside it.
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "sound/portable/riff_wave.h"
#include "sound/portable/sdl_sound.h"
#include "sound/sound_backend.h"

namespace {

constexpr uint16_t PcmFormat = 1;
constexpr uint16_t MaxChannels = 8;
constexpr uint32_t MaxSampleRate = 384000;
constexpr Uint16 DeviceBufferFrames = 512;

// Each slot holds SDL's audio subsystem open (SDL counts the holds).
struct PortableSoundDevice {
    Uint32 subsystem;
};

// The SDL sample format for a PCM clip, or 0 for one SDL cannot play.
SDL_AudioFormat sdlFormat(const WaveFormat& f)
{
    if (f.formatTag != PcmFormat || f.channels == 0 || f.channels > MaxChannels || f.samplesPerSecond == 0 ||
        f.samplesPerSecond > MaxSampleRate)
        return 0;
    if (f.bitsPerSample == 8)
        return AUDIO_U8;
    if (f.bitsPerSample == 16)
        return AUDIO_S16LSB;
    return 0;
}

SDL_AudioDeviceID openDevice(const WaveFormat& format)
{
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(format.samplesPerSecond);
    wanted.format = sdlFormat(format);
    wanted.channels = static_cast<Uint8>(format.channels);
    wanted.samples = DeviceBufferFrames;
    if (!wanted.format)
        return 0;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to the hardware, the clip stays as it is.
    return SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
}

}  // namespace

namespace soundbackend {

void* createDevice(platform::WindowHandle)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return nullptr;
    auto* device = new (std::nothrow) PortableSoundDevice{.subsystem = SDL_INIT_AUDIO};
    if (!device)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return device;
}

void* loadBuffer(void* device, platform::ModuleInstance instance, uint32_t clip, uint32_t& bytes)
{
    if (!device)
        return nullptr;
    platform::ResourceBytes resource = platform::findResource(instance, clip, platform::ResourceType::Wave);
    if (!resource.data)
        return nullptr;
    auto wave = parseWaveClip({resource.data, resource.size});
    if (!wave || wave->samples.empty() || !sdlFormat(wave->format))
        return nullptr;

    auto size = static_cast<uint32_t>(wave->samples.size());
    auto* samples = static_cast<unsigned char*>(std::malloc(size));
    if (!samples)
        return nullptr;
    std::memcpy(samples, wave->samples.data(), size);
    SDL_AudioDeviceID id = openDevice(wave->format);
    auto* buffer = id ? new (std::nothrow) PortableSoundBuffer{.device = id, .samples = samples, .size = size}
                      : nullptr;
    if (!buffer) {
        if (id)
            SDL_CloseAudioDevice(id);
        std::free(samples);
        return nullptr;
    }
    bytes = size;
    return buffer;
}

bool play(void* buffer, uint32_t)
{
    auto* b = static_cast<PortableSoundBuffer*>(buffer);
    // Samples still queued: the click is still playing and plays on. An
    // empty queue means it has finished, so it starts again from its first
    // sample.
    if (SDL_GetQueuedAudioSize(b->device) > 0)
        return true;
    if (SDL_QueueAudio(b->device, b->samples, b->size) != 0)
        return false;
    SDL_PauseAudioDevice(b->device, 0);
    return true;
}

void releaseBuffer(void* buffer)
{
    auto* b = static_cast<PortableSoundBuffer*>(buffer);
    SDL_CloseAudioDevice(b->device);
    std::free(b->samples);
    delete b;
}

void releaseDevice(void* device)
{
    auto* d = static_cast<PortableSoundDevice*>(device);
    SDL_QuitSubSystem(d->subsystem);
    delete d;
}

}  // namespace soundbackend
