// C-style interface declarations: the recorder swaps a real object's
// method table for a copy with a few entries replaced.
#define CINTERFACE
#include "directsound_spy.h"

#include <dsound.h>
#include <winternl.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace wintest {

namespace {

// The recorder's state is process-wide: its entry points are reached from
// the module, from DirectSound and from the loader, none of which carries
// context.
struct Recorder {
    DirectSoundLog log;
    std::map<const void*, DWORD> bufferBytes;   // live buffers and the size each was created with
    int modules = 0;                            // copies of the .gau routed through the recorder
    bool armed = false;
};
Recorder recorder;

using CreateDevice = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);
CreateDevice realCreateDevice = nullptr;

// The real method tables, captured from the first object of each kind (one
// DirectSound implementation serves every object of the process), and the
// copies handed out in their place.
const IDirectSoundVtbl* realDevice = nullptr;
IDirectSoundVtbl spiedDevice;
const IDirectSoundBufferVtbl* realBuffer = nullptr;
IDirectSoundBufferVtbl spiedBuffer;

HRESULT STDMETHODCALLTYPE bufferPlay(IDirectSoundBuffer* self, DWORD reserved, DWORD priority, DWORD flags)
{
    HRESULT result = realBuffer->Play(self, reserved, priority, flags);
    recorder.log.plays.push_back({result, recorder.bufferBytes[self]});
    return result;
}

ULONG STDMETHODCALLTYPE bufferRelease(IDirectSoundBuffer* self)
{
    ++recorder.log.bufferReleases;
    ULONG left = realBuffer->Release(self);
    if (left == 0)
        recorder.bufferBytes.erase(self);
    return left;
}

HRESULT STDMETHODCALLTYPE deviceCreateSoundBuffer(IDirectSound* self, LPCDSBUFFERDESC description,
                                                  LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer)
{
    HRESULT result = realDevice->CreateSoundBuffer(self, description, buffer, outer);
    SoundBufferRecord record{result, 0, 0, 0, {}};
    if (description) {
        record.descriptionSize = description->dwSize;
        record.flags = description->dwFlags;
        record.bytes = description->dwBufferBytes;
        if (description->lpwfxFormat)
            record.format = *description->lpwfxFormat;
    }
    recorder.log.buffers.push_back(record);
    if (SUCCEEDED(result) && buffer && *buffer) {
        if (!realBuffer) {
            realBuffer = (*buffer)->lpVtbl;
            spiedBuffer = *realBuffer;
            spiedBuffer.Play = bufferPlay;
            spiedBuffer.Release = bufferRelease;
        }
        (*buffer)->lpVtbl = &spiedBuffer;
        recorder.bufferBytes[*buffer] = record.bytes;
    }
    return result;
}

HRESULT STDMETHODCALLTYPE deviceSetCooperativeLevel(IDirectSound* self, HWND window, DWORD level)
{
    HRESULT result = realDevice->SetCooperativeLevel(self, window, level);
    recorder.log.cooperativeLevels.push_back({result, window, level});
    return result;
}

ULONG STDMETHODCALLTYPE deviceRelease(IDirectSound* self)
{
    ++recorder.log.deviceReleases;
    return realDevice->Release(self);
}

HRESULT WINAPI createDevice(LPCGUID guid, LPDIRECTSOUND* device, LPUNKNOWN outer)
{
    HRESULT result = realCreateDevice(guid, device, outer);
    recorder.log.deviceCreations.push_back(result);
    if (SUCCEEDED(result) && device && *device) {
        if (!realDevice) {
            realDevice = (*device)->lpVtbl;
            spiedDevice = *realDevice;
            spiedDevice.CreateSoundBuffer = deviceCreateSoundBuffer;
            spiedDevice.SetCooperativeLevel = deviceSetCooperativeLevel;
            spiedDevice.Release = deviceRelease;
        }
        (*device)->lpVtbl = &spiedDevice;
    }
    return result;
}

// Where the module's code finds `function` of `dll`: its slot in the
// module's import address table.
void** importSlot(HMODULE module, const char* dll, const char* function)
{
    auto base = reinterpret_cast<BYTE*>(module);
    auto dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress)
        return nullptr;
    for (auto d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), dll) != 0 || !d->OriginalFirstThunk)
            continue;
        auto names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void routeThroughRecorder(HMODULE module)
{
    void** slot = importSlot(module, "dsound.dll", "DirectSoundCreate");
    if (!slot)
        return;
    if (!realCreateDevice)
        realCreateDevice = reinterpret_cast<CreateDevice>(*slot);
    DWORD previous;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous);
    *slot = reinterpret_cast<void*>(createDevice);
    VirtualProtect(slot, sizeof *slot, previous, &previous);
    ++recorder.modules;
}

// The loader's notice of a new module, before its entry point runs.
struct LoadedDll {
    ULONG flags;
    const UNICODE_STRING* fullName;
    const UNICODE_STRING* baseName;
    void* base;
    ULONG size;
};
constexpr ULONG DllLoaded = 1;
using DllNotice = void(CALLBACK*)(ULONG reason, const LoadedDll* dll, void* context);
using RegisterDllNotice = LONG(NTAPI*)(ULONG flags, DllNotice notice, void* context, void** cookie);

void CALLBACK onDllNotice(ULONG reason, const LoadedDll* dll, void*)
{
    if (reason != DllLoaded || !dll || !dll->baseName || !dll->baseName->Buffer)
        return;
    std::wstring name(dll->baseName->Buffer, dll->baseName->Length / sizeof(wchar_t));
    if (lstrcmpiW(name.c_str(), L"Vardex_Instr.gau") == 0)
        routeThroughRecorder(static_cast<HMODULE>(dll->base));
}

void arm()
{
    if (recorder.armed)
        return;
    auto registerNotice = reinterpret_cast<RegisterDllNotice>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "LdrRegisterDllNotification")));
    void* cookie = nullptr;
    recorder.armed = registerNotice && registerNotice(0, onDllNotice, nullptr, &cookie) == 0;
}

template <typename T>
std::vector<T> since(const std::vector<T>& all, size_t start)
{
    return {all.begin() + static_cast<std::ptrdiff_t>(std::min(start, all.size())), all.end()};
}

}  // namespace

DirectSoundSpy::DirectSoundSpy()
{
    arm();
    start_ = recorder.log;
    modulesAtStart_ = recorder.modules;
}

bool DirectSoundSpy::attached() const { return recorder.modules > modulesAtStart_; }

DirectSoundLog DirectSoundSpy::log() const
{
    const DirectSoundLog& now = recorder.log;
    return {since(now.deviceCreations, start_.deviceCreations.size()),
            since(now.cooperativeLevels, start_.cooperativeLevels.size()),
            since(now.buffers, start_.buffers.size()),
            since(now.plays, start_.plays.size()),
            now.bufferReleases - start_.bufferReleases,
            now.deviceReleases - start_.deviceReleases};
}

}  // namespace wintest
