// The Windows back end: DirectSound on the host's window, the clip read from
// the module's "WAVE" resource with the multimedia file calls on memory.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstring>

#include "sound/sound_backend.h"

namespace {

// The buffer description the host's DirectSound expects from a gauge: the
// full 36-byte record, with frequency, pan and volume control, and global
// focus so that the click is heard while the host's window is active.
constexpr DWORD BufferDescriptionSize = 36;
constexpr DWORD BufferCaps = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS;
static_assert(sizeof(DSBUFFERDESC) == BufferDescriptionSize);
static_assert(BufferCaps == 0x80E0);

// The format record with its extra-size field: 18 bytes are read from "fmt ".
static_assert(sizeof(WAVEFORMATEX) == 18);

// The "data" chunk's samples in a global memory block.
struct Samples {
    HGLOBAL block = nullptr;
    void* bytes = nullptr;
    DWORD size = 0;

    Samples() = default;
    Samples(const Samples&) = delete;
    Samples& operator=(const Samples&) = delete;
    ~Samples()
    {
        if (bytes)
            GlobalUnlock(block);
        if (block)
            GlobalFree(block);
    }

    bool allocate(DWORD n)
    {
        block = GlobalAlloc(GMEM_MOVEABLE, n);
        bytes = block ? GlobalLock(block) : nullptr;
        size = n;
        return bytes != nullptr;
    }
};

// RIFF "WAVE" → "fmt " (18 bytes read as the format) → out of "fmt " →
// "data" → all its bytes. The memory file ends where the resource ends, so
// no chunk size can make a read run past it.
bool readWave(HMMIO file, WAVEFORMATEX& format, Samples& samples)
{
    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR)
        return false;
    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        return false;
    if (mmioRead(file, reinterpret_cast<HPSTR>(&format), sizeof format) != static_cast<LONG>(sizeof format))
        return false;
    if (mmioAscend(file, &chunk, 0) != MMSYSERR_NOERROR)
        return false;
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        return false;
    if (chunk.cksize == 0 || chunk.cksize > 0x7FFFFFFF || !samples.allocate(chunk.cksize))
        return false;
    return mmioRead(file, static_cast<HPSTR>(samples.bytes), static_cast<LONG>(chunk.cksize)) ==
           static_cast<LONG>(chunk.cksize);
}

bool readClip(platform::ModuleInstance instance, uint32_t clip, WAVEFORMATEX& format, Samples& samples)
{
    platform::ResourceBytes resource = platform::findResource(instance, clip, platform::ResourceType::Wave);
    if (!resource.data || resource.size == 0 || resource.size > 0x7FFFFFFF)
        return false;
    MMIOINFO io{};
    io.fccIOProc = FOURCC_MEM;
    io.pchBuffer = reinterpret_cast<HPSTR>(const_cast<unsigned char*>(resource.data));
    io.cchBuffer = static_cast<LONG>(resource.size);
    HMMIO file = mmioOpenA(nullptr, &io, MMIO_READ);
    if (!file)
        return false;
    bool read = readWave(file, format, samples);
    mmioClose(file, 0);
    return read;
}

bool fill(IDirectSoundBuffer* buffer, const Samples& samples)
{
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstSize = 0;
    DWORD secondSize = 0;
    if (FAILED(buffer->Lock(0, samples.size, &first, &firstSize, &second, &secondSize, 0)))
        return false;
    auto from = static_cast<const unsigned char*>(samples.bytes);
    DWORD firstCopy = firstSize < samples.size ? firstSize : samples.size;
    std::memcpy(first, from, firstCopy);
    if (second && samples.size > firstCopy) {
        DWORD rest = samples.size - firstCopy;
        std::memcpy(second, from + firstCopy, rest < secondSize ? rest : secondSize);
    }
    if (FAILED(buffer->Unlock(first, firstSize, second, secondSize)))
        return false;
    return SUCCEEDED(buffer->SetCurrentPosition(0));
}

}  // namespace

namespace soundbackend {

void* createDevice(platform::WindowHandle window)
{
    IDirectSound* device = nullptr;
    if (FAILED(DirectSoundCreate(nullptr, &device, nullptr)) || !device)
        return nullptr;
    if (FAILED(device->SetCooperativeLevel(static_cast<HWND>(window), DSSCL_NORMAL))) {
        device->Release();
        return nullptr;
    }
    return device;
}

void* loadBuffer(void* device, platform::ModuleInstance instance, uint32_t clip, uint32_t& bytes)
{
    WAVEFORMATEX format{};
    Samples samples;
    if (!readClip(instance, clip, format, samples))
        return nullptr;

    DSBUFFERDESC description{};
    description.dwSize = BufferDescriptionSize;
    description.dwFlags = BufferCaps;
    description.dwBufferBytes = samples.size;
    description.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(static_cast<IDirectSound*>(device)->CreateSoundBuffer(&description, &buffer, nullptr)) || !buffer)
        return nullptr;
    if (!fill(buffer, samples)) {
        buffer->Release();
        return nullptr;
    }
    bytes = samples.size;
    return buffer;
}

// DirectSound lets a buffer that is playing play on, and a one-shot buffer
// that has run out starts again from its beginning.
bool play(void* buffer, uint32_t flags)
{
    return SUCCEEDED(static_cast<IDirectSoundBuffer*>(buffer)->Play(0, 0, flags));
}

void releaseBuffer(void* buffer) { static_cast<IDirectSoundBuffer*>(buffer)->Release(); }
void releaseDevice(void* device) { static_cast<IDirectSound*>(device)->Release(); }

}  // namespace soundbackend
