// C-style interface declarations: the recorder swaps a real object's
// method table for a copy with a few entries replaced.
#define CINTERFACE
#include "directsound_spy.h"

#include <dsound.h>

#include <cstring>

namespace wintest {

namespace {

DirectSoundSpy* active = nullptr;

using CreateDevice = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);
CreateDevice realCreateDevice = nullptr;

// The real method tables, captured from the first object of each kind (one
// DirectSound implementation serves every object of the process), and the
// copies handed out in their place. The copies outlive any spy: objects
// keep them until DirectSound frees them.
const IDirectSoundVtbl* realDevice = nullptr;
IDirectSoundVtbl spiedDevice;
const IDirectSoundBufferVtbl* realBuffer = nullptr;
IDirectSoundBufferVtbl spiedBuffer;

HRESULT STDMETHODCALLTYPE bufferPlay(IDirectSoundBuffer* self, DWORD reserved, DWORD priority, DWORD flags)
{
    HRESULT result = realBuffer->Play(self, reserved, priority, flags);
    if (active)
        active->log().plays.push_back(result);
    return result;
}

ULONG STDMETHODCALLTYPE bufferRelease(IDirectSoundBuffer* self)
{
    if (active)
        ++active->log().bufferReleases;
    return realBuffer->Release(self);
}

void spyOn(IDirectSoundBuffer* buffer)
{
    if (!realBuffer) {
        realBuffer = buffer->lpVtbl;
        spiedBuffer = *realBuffer;
        spiedBuffer.Play = bufferPlay;
        spiedBuffer.Release = bufferRelease;
    }
    buffer->lpVtbl = &spiedBuffer;
}

HRESULT STDMETHODCALLTYPE deviceCreateSoundBuffer(IDirectSound* self, LPCDSBUFFERDESC description,
                                                  LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer)
{
    HRESULT result = realDevice->CreateSoundBuffer(self, description, buffer, outer);
    if (active) {
        SoundBufferRecord record{result, 0, 0, 0, {}};
        if (description) {
            record.descriptionSize = description->dwSize;
            record.flags = description->dwFlags;
            record.bytes = description->dwBufferBytes;
            if (description->lpwfxFormat)
                record.format = *description->lpwfxFormat;
        }
        active->log().buffers.push_back(record);
    }
    if (SUCCEEDED(result) && buffer && *buffer)
        spyOn(*buffer);
    return result;
}

HRESULT STDMETHODCALLTYPE deviceSetCooperativeLevel(IDirectSound* self, HWND window, DWORD level)
{
    HRESULT result = realDevice->SetCooperativeLevel(self, window, level);
    if (active)
        active->log().cooperativeLevels.push_back({result, window, level});
    return result;
}

ULONG STDMETHODCALLTYPE deviceRelease(IDirectSound* self)
{
    if (active)
        ++active->log().deviceReleases;
    return realDevice->Release(self);
}

HRESULT WINAPI createDevice(LPCGUID guid, LPDIRECTSOUND* device, LPUNKNOWN outer)
{
    HRESULT result = realCreateDevice(guid, device, outer);
    if (active)
        active->log().deviceCreations.push_back(result);
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

void writeSlot(void** slot, void* value)
{
    DWORD previous;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, previous, &previous);
}

}  // namespace

DirectSoundSpy::DirectSoundSpy(HMODULE module)
{
    if (!module || active)
        return;
    slot_ = importSlot(module, "dsound.dll", "DirectSoundCreate");
    if (!slot_)
        return;
    original_ = *slot_;
    realCreateDevice = reinterpret_cast<CreateDevice>(original_);
    writeSlot(slot_, reinterpret_cast<void*>(createDevice));
    active = this;
}

DirectSoundSpy::~DirectSoundSpy()
{
    if (!slot_)
        return;
    writeSlot(slot_, original_);
    active = nullptr;
}

}  // namespace wintest
