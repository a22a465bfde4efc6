#include "tests/sound/fake_platform.h"

#include <cstring>

namespace fake {

namespace {

void put16(std::vector<unsigned char>& b, uint16_t v)
{
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}

void append32(std::vector<unsigned char>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

void tag(std::vector<unsigned char>& b, const char* t) { b.insert(b.end(), t, t + 4); }

}  // namespace

Platform& platform()
{
    static Platform current;
    return current;
}

void reset() { platform() = Platform{}; }

void Platform::serveClip(uint32_t number, const std::vector<unsigned char>& bytes)
{
    Clip clip{std::make_unique<unsigned char[]>(bytes.size()), bytes.size()};
    if (!bytes.empty())
        std::memcpy(clip.bytes.get(), bytes.data(), bytes.size());
    clips[number] = std::move(clip);
}

std::vector<unsigned char> clipSamples(uint32_t sampleBytes)
{
    std::vector<unsigned char> samples(sampleBytes);
    uint32_t state = 0x2004;
    for (auto& s : samples) {
        state = state * 1103515245u + 12345u;
        s = static_cast<unsigned char>(state >> 16);
    }
    return samples;
}

std::vector<unsigned char> waveClip(const ClipShape& shape)
{
    std::vector<unsigned char> b;
    const uint32_t pad = shape.sampleBytes & 1;
    tag(b, "RIFF");
    append32(b, 4 + 8 + shape.fmtSize + 8 + shape.sampleBytes + pad);
    tag(b, "WAVE");
    tag(b, "fmt ");
    append32(b, shape.fmtSize);
    const uint16_t blockAlign = static_cast<uint16_t>(shape.channels * shape.bits / 8);
    put16(b, shape.formatTag);
    put16(b, shape.channels);
    append32(b, 22050);
    append32(b, 22050u * blockAlign);
    put16(b, blockAlign);
    put16(b, shape.bits);
    if (shape.fmtSize >= 18)
        put16(b, 0);
    b.resize(b.size() + (shape.fmtSize > 18 ? shape.fmtSize - 18 : 0));
    tag(b, "data");
    append32(b, shape.sampleBytes);
    auto samples = clipSamples(shape.sampleBytes);
    b.insert(b.end(), samples.begin(), samples.end());
    if (pad)
        b.push_back(0);
    return b;
}

void put32(std::vector<unsigned char>& bytes, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace fake

namespace platform {

ResourceBytes findResource(ModuleInstance instance, uint32_t number, ResourceType type)
{
    auto& p = fake::platform();
    p.instancesAsked.push_back(instance);
    if (type != ResourceType::Wave)
        return {nullptr, 0};
    auto it = p.clips.find(number);
    if (it == p.clips.end())
        return {nullptr, 0};
    return {it->second.bytes.get(), it->second.size};
}

void hostExecutableName(char* out, size_t capacity)
{
    if (!out || capacity == 0)
        return;
    const std::string& name = fake::platform().executableName;
    size_t n = name.size() < capacity ? name.size() : capacity - 1;
    std::memcpy(out, name.data(), n);
    out[n] = '\0';
}

void tellClipPlayed(uint32_t) {}

WindowHandle findTopLevelWindow(const char* className)
{
    auto& p = fake::platform();
    p.classesSearched.push_back(className ? className : "");
    auto it = p.windows.find(className ? className : "");
    return it == p.windows.end() ? nullptr : it->second;
}

}  // namespace platform
