#include "clip_reader.h"

#include <vector>

namespace wintest {

Clip readClip(HMODULE module, int number)
{
    Clip clip;
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(number), "WAVE");
    if (!info)
        return clip;
    HGLOBAL loaded = LoadResource(module, info);
    auto bytes = static_cast<char*>(LockResource(loaded));
    DWORD size = SizeofResource(module, info);
    if (!bytes || size == 0)
        return clip;
    // The multimedia functions read the block and never write it, but take
    // it as writable: read from a copy rather than from the mapped image.
    std::vector<char> copy(bytes, bytes + size);
    MMIOINFO memory{};
    memory.fccIOProc = FOURCC_MEM;
    memory.pchBuffer = copy.data();
    memory.cchBuffer = static_cast<LONG>(copy.size());
    HMMIO file = mmioOpenA(nullptr, &memory, MMIO_READ);
    if (!file)
        return clip;
    MMCKINFO riff{}, fmt{}, data{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) == MMSYSERR_NOERROR
        && mmioDescend(file, &fmt, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR && fmt.cksize >= sizeof(ClipFormat)
        && mmioRead(file, reinterpret_cast<HPSTR>(&clip.format), sizeof(ClipFormat)) == sizeof(ClipFormat)
        && mmioAscend(file, &fmt, 0) == MMSYSERR_NOERROR
        && mmioDescend(file, &data, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR) {
        clip.parsed = data.dwDataOffset + data.cksize <= size;
        clip.dataSize = data.cksize;
    }
    mmioClose(file, 0);
    return clip;
}

}  // namespace wintest
