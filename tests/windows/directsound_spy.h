// The DirectSound calls that Vardex_Instr.gau makes, recorded on their way
// to Wine's DirectSound: the loaded module's import of DirectSoundCreate is
// pointed at a recorder, which hands the module the real device with its
// buffer creation recorded, and real buffers with their play and release
// recorded. Every call still reaches DirectSound; only its outcome is noted.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <vector>

namespace wintest {

struct SoundBufferRecord {
    HRESULT result;
    DWORD descriptionSize;
    DWORD flags;
    DWORD bytes;
    WAVEFORMATEX format;   // as the module described it
};

struct CooperativeLevelRecord {
    HRESULT result;
    HWND window;
    DWORD level;
};

struct DirectSoundLog {
    std::vector<HRESULT> deviceCreations;
    std::vector<CooperativeLevelRecord> cooperativeLevels;
    std::vector<SoundBufferRecord> buffers;
    std::vector<HRESULT> plays;
    int bufferReleases = 0;
    int deviceReleases = 0;
};

// Records while it lives; it must go before the module is unloaded. One at a
// time: the recorder's entry points are reached from the module and from
// DirectSound, which carry no context, so they find the active spy through
// one static pointer.
class DirectSoundSpy {
public:
    explicit DirectSoundSpy(HMODULE module);
    ~DirectSoundSpy();
    DirectSoundSpy(const DirectSoundSpy&) = delete;
    DirectSoundSpy& operator=(const DirectSoundSpy&) = delete;

    bool attached() const { return slot_ != nullptr; }  // the module imports DirectSoundCreate
    const DirectSoundLog& log() const { return log_; }
    DirectSoundLog& log() { return log_; }

private:
    void** slot_ = nullptr;     // the module's import slot
    void* original_ = nullptr;  // what it held
    DirectSoundLog log_;
};

}  // namespace wintest
