#include "tests/module/switch_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#if !defined(_WIN32)
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>

#include "sound/portable/riff_wave.h"
#endif

namespace moduletest {

namespace {

constexpr int PollRounds = 500;
constexpr auto PollPause = std::chrono::milliseconds(10);

std::vector<unsigned char> readAll(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

std::optional<int> frameAfterNextFrame(devhost::Host& host, devhost::GaugeInstance& gauge, int element)
{
    host.frame();
    return host.probe(gauge).elements.at(static_cast<size_t>(element)).frame;
}

#if defined(_WIN32)

// Vardex_Instr.gau plays through DirectSound, which writes no file; the
// Windows tests watch its DirectSound calls instead (tests/windows).
void playIntoNothing() {}
std::vector<unsigned char> moduleClipSamples(uint32_t) { return {}; }
std::string cannotHear(uint32_t)
{
    return "the .gau clicks through DirectSound; tests/windows watches those calls";
}
ClickOutput::ClickOutput() = default;
ClickOutput::~ClickOutput() = default;

#else

void playIntoNothing()
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("SDL_DISKAUDIOFILE");
}

std::vector<unsigned char> moduleClipSamples(uint32_t clip)
{
    using Reader = const unsigned char* (*)(const char*, uint32_t, size_t*);
    void* module = dlopen(devhost::moduleUnderTest().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return {};
    std::vector<unsigned char> samples;
    if (auto read = reinterpret_cast<Reader>(dlsym(module, "vardexResource"))) {
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
}

ClickOutput::~ClickOutput()
{
    playIntoNothing();
    std::remove(file_.c_str());
}

#endif

bool ClickOutput::opened() const { return !file_.empty() && std::ifstream(file_).good(); }

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

bool ClickOutput::heard(uint32_t clip, int times) const
{
    std::vector<unsigned char> samples = moduleClipSamples(clip);
    if (samples.empty())
        return false;
    for (int round = 0; round < PollRounds; ++round) {
        if (count(samples) >= times)
            return true;
        std::this_thread::sleep_for(PollPause);
    }
    return false;
}

}  // namespace moduletest
