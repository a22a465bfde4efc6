// The DirectSound calls that Vardex_Instr.gau makes, recorded on their way
// to Wine's DirectSound. From the first DirectSoundSpy on, every copy of
// the .gau that the process loads has its import of DirectSoundCreate
// pointed at a recorder, which hands the module the real device with its
// buffer creation recorded, and real buffers with their play and release
// recorded. Every call still reaches DirectSound; only its outcome is noted.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <vector>

namespace wintest {

struct CooperativeLevelRecord {
    HRESULT result;
    HWND window;
    DWORD level;
};

struct SoundBufferRecord {
    HRESULT result;
    DWORD descriptionSize;
    DWORD flags;
    DWORD bytes;
    WAVEFORMATEX format;   // as the module described it
};

struct PlayRecord {
    HRESULT result;
    DWORD bytes;           // the size of the buffer played: which clip it holds
};

struct DirectSoundLog {
    std::vector<HRESULT> deviceCreations;
    std::vector<CooperativeLevelRecord> cooperativeLevels;
    std::vector<SoundBufferRecord> buffers;
    std::vector<PlayRecord> plays;
    int bufferReleases = 0;
    int deviceReleases = 0;
};

// What was recorded from its construction on.
class DirectSoundSpy {
public:
    DirectSoundSpy();

    // Whether a .gau loaded since then has its DirectSound routed through
    // the recorder.
    bool attached() const;
    DirectSoundLog log() const;

private:
    DirectSoundLog start_;
    int modulesAtStart_;
};

}  // namespace wintest
