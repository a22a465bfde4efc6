// The portable back end: the clip's bytes come from the resources embedded
// in the library, our RIFF/WAVE parser reads them, and SDL2 plays them.
//
// A slot's "device" is its hold on SDL's audio subsystem; its "buffer" is a
// voice of the one output device that all slots share (SDL's drivers
// without a sound card open only one per process): the clip's samples in
// the output's format and a play position that the audio thread advances.
// The output opens with the first clip's format and closes with the last
// voice; a clip of another format is converted when it is loaded. SDL itself
// is loaded with the first device (sdl_library.h).
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "sound/portable/riff_wave.h"
#include "sound/portable/sdl_library.h"
#include "sound/portable/sdl_sound.h"
#include "sound/sound_backend.h"

namespace {

constexpr uint16_t PcmFormat = 1;
constexpr uint16_t MaxChannels = 8;
constexpr uint32_t MaxSampleRate = 384000;
constexpr Uint16 OutputBufferFrames = 512;
constexpr size_t MaxVoices = 16;  // seven gauges use sound; room for more

struct PortableSoundDevice {
    Uint32 subsystem;  // each slot holds SDL's audio subsystem open (SDL counts the holds)
};

// The shared output and its voices. The audio thread reads them under
// SDL's device lock; the panel thread changes them under the same lock.
struct Output {
    SDL_AudioDeviceID device;
    SDL_AudioSpec spec;
    PortableSoundBuffer* voices[MaxVoices];
};

Output output{};

// SDL, loaded by the first device: every step below follows one.
const SdlLibrary& sdl() { return *loadedSdlLibrary(); }

// Mixes every playing voice into the stream; a voice that reaches its end
// stops there, to start from its beginning on the next play.
void SDLCALL mix(void*, Uint8* stream, int length)
{
    std::memset(stream, output.spec.silence, static_cast<size_t>(length));
    for (PortableSoundBuffer* voice : output.voices) {
        if (!voice || !voice->playing)
            continue;
        uint32_t left = voice->size - voice->position;
        uint32_t n = left < static_cast<uint32_t>(length) ? left : static_cast<uint32_t>(length);
        sdl().mixAudioFormat(stream, voice->samples + voice->position, output.spec.format, n, SDL_MIX_MAXVOLUME);
        voice->position += n;
        if (voice->position >= voice->size)
            voice->playing = false;
    }
}

// The SDL sample format of a PCM clip, or 0 for one that SDL cannot play.
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

bool openOutput(const WaveFormat& format)
{
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(format.samplesPerSecond);
    wanted.format = sdlFormat(format);
    wanted.channels = static_cast<Uint8>(format.channels);
    wanted.samples = OutputBufferFrames;
    wanted.callback = mix;
    // No changes allowed: SDL converts to the hardware, the clip stays as it is.
    output.device = sdl().openAudioDevice(nullptr, 0, &wanted, &output.spec, 0);
    return output.device != 0;
}

void closeOutputIfUnused()
{
    for (PortableSoundBuffer* voice : output.voices)
        if (voice)
            return;
    if (output.device)
        sdl().closeAudioDevice(output.device);
    output = {};
}

// The clip's samples in a block of their own, in the output's format.
bool copySamples(const WaveClip& clip, PortableSoundBuffer& voice)
{
    SDL_AudioCVT convert;
    int needed = sdl().buildAudioCvt(&convert, sdlFormat(clip.format), static_cast<Uint8>(clip.format.channels),
                                   static_cast<int>(clip.format.samplesPerSecond), output.spec.format,
                                   output.spec.channels, output.spec.freq);
    if (needed < 0)
        return false;
    const size_t size = clip.samples.size();
    const size_t capacity = needed ? size * static_cast<size_t>(convert.len_mult) : size;
    voice.samples = static_cast<unsigned char*>(std::malloc(capacity ? capacity : 1));
    if (!voice.samples)
        return false;
    std::memcpy(voice.samples, clip.samples.data(), size);
    voice.size = static_cast<uint32_t>(size);
    if (needed) {
        convert.buf = voice.samples;
        convert.len = static_cast<int>(size);
        if (sdl().convertAudio(&convert) != 0)
            return false;
        voice.size = static_cast<uint32_t>(convert.len_cvt);
    }
    return voice.size > 0;
}

PortableSoundBuffer* addVoice(const WaveClip& clip)
{
    size_t free = MaxVoices;
    for (size_t i = 0; i < MaxVoices && free == MaxVoices; ++i)
        if (!output.voices[i])
            free = i;
    if (free == MaxVoices)
        return nullptr;
    if (!output.device && !openOutput(clip.format))
        return nullptr;
    auto* voice = new (std::nothrow) PortableSoundBuffer{};
    if (!voice || !copySamples(clip, *voice)) {
        if (voice)
            std::free(voice->samples);
        delete voice;
        closeOutputIfUnused();
        return nullptr;
    }
    sdl().lockAudioDevice(output.device);
    output.voices[free] = voice;
    sdl().unlockAudioDevice(output.device);
    sdl().pauseAudioDevice(output.device, 0);
    return voice;
}

// The output's audio thread calls mix() in this library. A host that
// unloads the module without removing its gauges first would leave that
// thread running into unloaded code, so the output closes with the library.
struct CloseOutputOnUnload {
    ~CloseOutputOnUnload()
    {
        if (output.device)
            sdl().closeAudioDevice(output.device);
        unloadSdlLibraryIfUnused();
    }
} closeOutputOnUnload;

}  // namespace

SDL_AudioDeviceID portableSoundOutput() { return output.device; }

namespace soundbackend {

void* createDevice(platform::WindowHandle)
{
    // SDL's audio brings up its event subsystem, which by default catches
    // SIGINT and SIGTERM to queue a quit event that only an SDL program
    // reads: the host process would no longer stop when asked. A gauge
    // module has no business with the host's signals.
    if (!sdlLibrary())
        return nullptr;
    sdl().setHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    if (sdl().initSubSystem(SDL_INIT_AUDIO) != 0)
        return nullptr;
    auto* device = new (std::nothrow) PortableSoundDevice{.subsystem = SDL_INIT_AUDIO};
    if (!device)
        sdl().quitSubSystem(SDL_INIT_AUDIO);
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
    PortableSoundBuffer* voice = addVoice(*wave);
    if (voice)
        bytes = static_cast<uint32_t>(wave->samples.size());
    return voice;
}

// A voice still playing plays on; one that has finished (or never played)
// starts from its first sample.
bool play(void* buffer, uint32_t)
{
    auto* voice = static_cast<PortableSoundBuffer*>(buffer);
    sdl().lockAudioDevice(output.device);
    if (!voice->playing) {
        voice->position = 0;
        voice->playing = true;
    }
    sdl().unlockAudioDevice(output.device);
    return true;
}

void releaseBuffer(void* buffer)
{
    auto* voice = static_cast<PortableSoundBuffer*>(buffer);
    sdl().lockAudioDevice(output.device);
    for (PortableSoundBuffer*& v : output.voices)
        if (v == voice)
            v = nullptr;
    sdl().unlockAudioDevice(output.device);
    std::free(voice->samples);
    delete voice;
    closeOutputIfUnused();
}

void releaseDevice(void* device)
{
    auto* d = static_cast<PortableSoundDevice*>(device);
    sdl().quitSubSystem(d->subsystem);
    delete d;
    // SDL keeps what its audio set-up allocated (its hints) until SDL_Quit.
    // When nothing of SDL is in use any more, free it now: the module may
    // be unloaded next, and SDL with it.
    if (sdl().wasInit(0) == 0)
        sdl().quit();
}

}  // namespace soundbackend
