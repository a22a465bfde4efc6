#include "tests/module/switch_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#if defined(_WIN32)
#include <windows.h>
#include <dsound.h>

#include "tests/windows/clip_reader.h"
#else
#include <dlfcn.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "framework/portable_exports.h"
#include "sound/portable/riff_wave.h"
#endif

namespace moduletest {

std::optional<int> frameAfterNextFrame(devhost::Host& host, devhost::GaugeInstance& gauge, int element)
{
    host.frame();
    return host.probe(gauge).elements.at(static_cast<size_t>(element)).frame;
}

void throwUnitsLever(devhost::Host& host)
{
    devhost::GaugeInstance* lever = host.find("Metric_Switch");
    if (!lever)
        lever = &host.place("Metric_Switch", {}, 96, 44);
    EXPECT_TRUE(host.click(*lever, 48, 22).handled) << "the units lever took the click";
}

#if defined(_WIN32)

// Vardex_Instr.gau plays through DirectSound, which writes no file: the
// Windows tests' recorder sees every play of a buffer, and a buffer's size
// tells which clip it holds.

namespace {

DWORD clipBytes(uint32_t clip)
{
    std::string path = devhost::moduleUnderTest();
    std::replace(path.begin(), path.end(), '/', '\\');
    HMODULE file = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!file)
        return 0;
    wintest::Clip read = wintest::readClip(file, static_cast<int>(clip));
    FreeLibrary(file);
    return read.parsed ? read.dataSize : 0;
}

bool audioDevice()
{
    IDirectSound* device = nullptr;
    if (FAILED(DirectSoundCreate(nullptr, &device, nullptr)) || !device)
        return false;
    device->Release();
    return true;
}

}  // namespace

void playIntoNothing() {}
std::vector<unsigned char> moduleClipSamples(uint32_t) { return {}; }

std::string cannotHear(uint32_t clip)
{
    if (!clipBytes(clip))
        return "the module carries no wave clip " + std::to_string(clip);
    return audioDevice() ? "" : "no audio device in this run";
}

ClickOutput::ClickOutput() = default;
ClickOutput::~ClickOutput() = default;

bool ClickOutput::opened() const
{
    std::vector<HRESULT> devices = clicks_.log().deviceCreations;
    return std::any_of(devices.begin(), devices.end(), [](HRESULT result) { return SUCCEEDED(result); });
}

bool ClickOutput::heard(uint32_t clip, int times) const
{
    DWORD bytes = clipBytes(clip);
    std::vector<wintest::PlayRecord> plays = clicks_.log().plays;
    auto played = std::count_if(plays.begin(), plays.end(), [&](const wintest::PlayRecord& play) {
        return SUCCEEDED(play.result) && play.bytes == bytes;
    });
    return bytes && played >= times;
}

#else

void playIntoNothing()
{
    // No output, as under devhost's commands: an output's audio thread
    // would keep each close waiting while it drains (two buffers' time).
    setenv("SDL_AUDIODRIVER", "none", 1);
    unsetenv("SDL_DISKAUDIOFILE");
}

std::vector<unsigned char> moduleClipSamples(uint32_t clip)
{
    void* module = dlopen(devhost::moduleUnderTest().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return {};
    std::vector<unsigned char> samples;
    if (auto read = reinterpret_cast<ResourceLookup>(dlsym(module, ResourceLookupName))) {
        size_t size = 0;
        const unsigned char* bytes = read("WAVE", clip, &size);
        if (bytes)
            if (auto wave = parseWaveClip({bytes, size}))
                samples.assign(wave->samples.begin(), wave->samples.end());
    }
    dlclose(module);
    return samples;
}

std::string cannotHear(uint32_t clip)
{
    return moduleClipSamples(clip).empty() ? "the module carries no wave clip " + std::to_string(clip) : "";
}

ClickOutput::ClickOutput()
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? test->name() : "clicks";
    std::replace(name.begin(), name.end(), '/', '_');  // parameterised tests' names
    file_ = testing::TempDir() + "vardex_" + name + "_" + std::to_string(getpid()) + ".raw";
    std::remove(file_.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
    // The driver waits this many ms between buffers instead of a buffer's
    // playing time: the clips are written out in a fraction of real time.
    setenv("SDL_DISKAUDIODELAY", "1", 1);
}

ClickOutput::~ClickOutput()
{
    playIntoNothing();
    std::remove(file_.c_str());
}

bool ClickOutput::opened() const { return !file_.empty() && std::ifstream(file_).good(); }

namespace {

std::vector<unsigned char> readAll(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

int ClickOutput::count(const std::vector<unsigned char>& samples) const
{
    std::vector<unsigned char> written = readAll(file_);
    int found = 0;
    for (auto at = written.begin();; at += static_cast<std::ptrdiff_t>(samples.size()), ++found) {
        at = std::search(at, written.end(), samples.begin(), samples.end());
        if (at == written.end())
            return found;
    }
}

namespace {

// How long a clip may take to be written out in full.
constexpr auto HearingTimeout = std::chrono::seconds(5);

// Wakes a waiter at each write into a folder (the output's file may not
// exist yet when the waiting starts).
class FolderWatch {
public:
    explicit FolderWatch(const std::filesystem::path& folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (fd_ >= 0)
            inotify_add_watch(fd_, folder.c_str(), IN_CREATE | IN_MODIFY);
    }
    ~FolderWatch()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Waits for a write (or the deadline); false once the deadline has passed.
    bool wait(std::chrono::steady_clock::time_point deadline) const
    {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd watched{.fd = fd_, .events = POLLIN, .revents = 0};
        if (poll(&watched, 1, static_cast<int>(left.count())) > 0) {
            alignas(inotify_event) char events[4096];
            while (read(fd_, events, sizeof events) > 0) {
            }
        }
        return true;
    }

private:
    int fd_;
};

}  // namespace

bool ClickOutput::heard(uint32_t clip, int times) const
{
    std::vector<unsigned char> samples = moduleClipSamples(clip);
    if (samples.empty())
        return false;
    const FolderWatch writes(std::filesystem::path(file_).parent_path());
    const auto deadline = std::chrono::steady_clock::now() + HearingTimeout;
    // The watch is set before the count, so that no write falls between.
    while (count(samples) < times)
        if (!writes.wait(deadline))
            return false;
    return true;
}

#endif

testing::AssertionResult ClickOutput::eachClickPlays(devhost::Host& host, devhost::GaugeInstance& gauge, int x,
                                                     int y, uint32_t clip) const
{
    for (int times = 1; times <= 2; ++times) {
        if (!host.click(gauge, x, y).handled)
            return testing::AssertionFailure() << "click " << times << " at " << x << "," << y << " not taken";
        if (!heard(clip, times))
            return testing::AssertionFailure() << "clip " << clip << " not heard " << times << " times";
    }
    return testing::AssertionSuccess();
}

}  // namespace moduletest
