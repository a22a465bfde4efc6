#include "sound/sound_slot.h"

#include "framework/gauge_model.h"
#include "framework/switches.h"
#include "sound/sound_backend.h"

int32_t soundAvailable = 1;

namespace {

// The two classes by which the simulator's main window has gone.
constexpr const char* CurrentHostClass = "MSCFSMAIN";
constexpr const char* EarlierHostClass = "FS98MAIN";

constexpr size_t ExecutableNameCapacity = 260;

// Any failure silences every slot for good; nothing is reported.
void silenceSound() { soundAvailable = 0; }

void dropBuffer(SoundSlot& slot)
{
    if (slot.buffer)
        soundbackend::releaseBuffer(slot.buffer);
    slot.buffer = nullptr;
}

void dropDevice(SoundSlot& slot)
{
    if (slot.device)
        soundbackend::releaseDevice(slot.device);
    slot.device = nullptr;
}

}  // namespace

const char* hostWindowClass(const char* executableName)
{
    if (!executableName || executableName[0] == '\0')
        return EarlierHostClass;
    bool fourthIsTwo = executableName[1] != '\0' && executableName[2] != '\0' && executableName[3] == '2';
    return executableName[0] == 'C' || fourthIsTwo ? CurrentHostClass : EarlierHostClass;
}

platform::WindowHandle findHostWindow()
{
    char name[ExecutableNameCapacity] = {};
    platform::hostExecutableName(name, sizeof name);
    return platform::findTopLevelWindow(hostWindowClass(name));
}

int32_t createSoundDevice(platform::WindowHandle window, SoundSlot& slot)
{
    // The slot is shared by every placed instance of its gauge, so a second
    // installation sets it up anew: what the first one made is let go
    // rather than lost.
    dropBuffer(slot);
    dropDevice(slot);
    if (window)
        slot.device = soundbackend::createDevice(window);
    if (!slot.device) {
        silenceSound();
        return 0;
    }
    return 1;
}

uint32_t loadClip(SoundSlot& slot, uint32_t clip, platform::ModuleInstance instance)
{
    if (!soundAvailable)
        return 0;
    dropBuffer(slot);
    uint32_t bytes = 0;
    if (slot.device)
        slot.buffer = soundbackend::loadBuffer(slot.device, instance, clip, bytes);
    if (!slot.buffer) {
        silenceSound();
        return 0;
    }
    return bytes;
}

int32_t playClip(SoundSlot& slot, uint32_t flags)
{
    // The host hears of every play, even where this machine cannot sound it.
    if (slot.clip)
        platform::tellClipPlayed(slot.clip);
    if (!soundAvailable || !slot.buffer)
        return 0;
    if (!soundbackend::play(slot.buffer, flags)) {
        silenceSound();
        dropBuffer(slot);
        return 0;
    }
    return 1;
}

// Releasing frees what the slot holds even after sound has been silenced:
// the objects of slots that loaded before the first failure would otherwise
// outlive their gauges. Silence is the same either way.
void releaseBuffer(SoundSlot& slot) { dropBuffer(slot); }
void releaseDevice(SoundSlot& slot) { dropDevice(slot); }

void fillOrEmptySoundSlot(SoundSlot& slot, uint32_t clip, int32_t serviceCode, uint32_t extra)
{
    switch (serviceCode) {
    case ServiceInstall:
        // The host hands over the module instance as a 32-bit word.
        slot.instance = reinterpret_cast<platform::ModuleInstance>(static_cast<uintptr_t>(extra));
        slot.clip = clip;
        slot.window = findHostWindow();
        createSoundDevice(slot.window, slot);
        loadClip(slot, clip, slot.instance);
        break;
    case ServiceBeforeRemove:
        releaseBuffer(slot);
        releaseDevice(slot);
        break;
    default:
        break;
    }
}

void toggleWithClick(int32_t& state, SoundSlot& slot)
{
    toggleSwitch(state);
    playClip(slot);
}
