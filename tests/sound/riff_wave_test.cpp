// Reading a click clip's RIFF/WAVE bytes: the clips load as the Windows
// build loads them, and no chunk size, however it lies, makes the reader
// look outside the clip.
#include "sound/portable/riff_wave.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "tests/sound/fake_platform.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Offsets in a clip that waveClip made with an 18-byte "fmt " chunk.
constexpr size_t RiffSizeAt = 4;
constexpr size_t FmtSizeAt = 16;
constexpr size_t DataSizeAt18 = 20 + 18 + 4;
constexpr size_t SamplesAt18 = 20 + 18 + 8;

// Parses an exactly sized heap copy, so that a sanitizer build catches any
// read past the end; checks that what comes back lies inside the copy.
struct Parsed {
    std::optional<WaveClip> clip;
    bool samplesInside = true;
    Bytes samples;
};

Parsed parse(const Bytes& bytes, size_t length)
{
    auto copy = std::make_unique<unsigned char[]>(length ? length : 1);
    if (length)
        std::memcpy(copy.get(), bytes.data(), length);
    Parsed p;
    p.clip = parseWaveClip({copy.get(), length});
    if (p.clip) {
        const unsigned char* first = p.clip->samples.data();
        p.samplesInside = first >= copy.get() && first + p.clip->samples.size() <= copy.get() + length;
        if (p.samplesInside)
            p.samples.assign(first, first + p.clip->samples.size());
    }
    return p;
}

Parsed parse(const Bytes& bytes) { return parse(bytes, bytes.size()); }

void appendChunk(Bytes& b, const char* id, const Bytes& body)
{
    b.insert(b.end(), id, id + 4);
    Bytes size(4);
    fake::put32(size, 0, static_cast<uint32_t>(body.size()));
    b.insert(b.end(), size.begin(), size.end());
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1)
        b.push_back(0);
}

TEST(WaveClipReading, TheUnitsSwitchClipLoadsWithItsFormatAndSamples)
{
    Parsed p = parse(fake::waveClip({.sampleBytes = 6014}));
    ASSERT_TRUE(p.clip);
    EXPECT_EQ(p.clip->format.formatTag, 1);
    EXPECT_EQ(p.clip->format.channels, 1);
    EXPECT_EQ(p.clip->format.samplesPerSecond, 22050u);
    EXPECT_EQ(p.clip->format.averageBytesPerSecond, 44100u);
    EXPECT_EQ(p.clip->format.blockAlign, 2);
    EXPECT_EQ(p.clip->format.bitsPerSample, 16);
    EXPECT_EQ(p.clip->format.extraSize, 0);
    EXPECT_EQ(p.samples, fake::clipSamples(6014));
}

TEST(WaveClipReading, ASixteenByteFormatChunkTakesTheNextTwoBytesAsItsExtraSize)
{
    Parsed p = parse(fake::waveClip({.sampleBytes = 3828, .fmtSize = 16}));
    ASSERT_TRUE(p.clip) << "loading still succeeds";
    EXPECT_EQ(p.clip->format.bitsPerSample, 16);
    EXPECT_EQ(p.clip->format.extraSize, 'd' | 'a' << 8) << "the first two bytes of the data chunk's header";
    EXPECT_EQ(p.samples, fake::clipSamples(3828));
}

TEST(WaveClipReading, ASixteenByteFormatChunkAtTheVeryEndIsNotReadPast)
{
    const Bytes model = fake::waveClip();
    Bytes fmt(model.begin() + 20, model.begin() + 36);
    Bytes b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    appendChunk(b, "data", fake::clipSamples(64));
    appendChunk(b, "fmt ", fmt);
    fake::put32(b, RiffSizeAt, static_cast<uint32_t>(b.size() - 8));
    EXPECT_FALSE(parse(b).clip);
}

TEST(WaveClipReading, OtherChunksBeforeAndBetweenAreSkippedWithTheirPadByte)
{
    Bytes b = {'J', 'U', 'N', 'K', 3, 0, 0, 0, 1, 2, 3, 0};  // a top-level chunk before the RIFF
    Bytes riff = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    appendChunk(riff, "LIST", {1, 2, 3, 4, 5});              // odd size: one pad byte follows
    const Bytes model = fake::waveClip();
    Bytes fmt(model.begin() + 20, model.begin() + 38);
    appendChunk(riff, "fmt ", fmt);
    appendChunk(riff, "fact", {0, 0, 0, 0});
    appendChunk(riff, "data", fake::clipSamples(101));
    fake::put32(riff, RiffSizeAt, static_cast<uint32_t>(riff.size() - 8));
    b.insert(b.end(), riff.begin(), riff.end());
    Parsed p = parse(b);
    ASSERT_TRUE(p.clip);
    EXPECT_EQ(p.samples, fake::clipSamples(101));
}

TEST(WaveClipReading, AnythingButARiffWaveFileIsRefused)
{
    Bytes clip = fake::waveClip();
    Bytes notRiff = clip;
    notRiff[0] = 'X';
    EXPECT_FALSE(parse(notRiff).clip);
    Bytes notWave = clip;
    notWave[8] = 'A';
    EXPECT_FALSE(parse(notWave).clip);
    Bytes noFormat = clip;
    noFormat[12] = 'F';
    EXPECT_FALSE(parse(noFormat).clip);
    Bytes noData = clip;
    noData[DataSizeAt18 - 4] = 'D';
    EXPECT_FALSE(parse(noData).clip);
    EXPECT_FALSE(parse({}).clip);
}

TEST(WaveClipReading, ARiffSizeBeyondTheClipIsBoundedByTheClip)
{
    Bytes clip = fake::waveClip();
    fake::put32(clip, RiffSizeAt, 0xFFFFFFFF);
    Parsed p = parse(clip);
    ASSERT_TRUE(p.clip);
    EXPECT_TRUE(p.samplesInside);
}

TEST(WaveClipReading, ARiffSizeThatEndsBeforeTheDataLeavesNoData)
{
    Bytes clip = fake::waveClip();
    fake::put32(clip, RiffSizeAt, 4 + 8 + 18);
    EXPECT_FALSE(parse(clip).clip);
}

TEST(WaveClipReading, ADataSizeBeyondTheClipIsRefused)
{
    Bytes clip = fake::waveClip({.sampleBytes = 100});
    for (uint32_t lie : {101u, 0x7FFFFFFFu, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
        fake::put32(clip, DataSizeAt18, lie);
        EXPECT_FALSE(parse(clip).clip) << lie;
    }
}

TEST(WaveClipReading, AFormatSizeThatLiesMovesTheSearchButNeverOutside)
{
    Bytes clip = fake::waveClip({.sampleBytes = 100});
    for (uint32_t lie : {0u, 1u, 2u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        fake::put32(clip, FmtSizeAt, lie);
        Parsed p = parse(clip);
        EXPECT_TRUE(p.samplesInside) << lie;
        EXPECT_FALSE(p.clip) << "no data chunk where the lie points: " << lie;
    }
}

TEST(WaveClipReading, EveryTruncationOfAClipIsRefusedWithoutReadingPastIt)
{
    Bytes clip = fake::waveClip({.sampleBytes = 64});
    for (size_t length = 0; length < clip.size(); ++length) {
        Parsed p = parse(clip, length);
        EXPECT_FALSE(p.clip) << "cut to " << length << " bytes";
    }
    EXPECT_TRUE(parse(clip).clip);
    EXPECT_EQ(SamplesAt18 + 64, clip.size());
}

// Deterministic mutations of a well-formed clip: random bytes, extreme
// chunk sizes at the size fields, random cuts. Whatever comes out, the
// reader stays inside the bytes and ends.
TEST(WaveClipReading, MutatedClipsNeverLeadTheReaderOutside)
{
    const Bytes clip = fake::waveClip({.sampleBytes = 48});
    const size_t sizeFields[] = {RiffSizeAt, FmtSizeAt, DataSizeAt18};
    const uint32_t extremes[] = {0, 1, 2, 7, 8, 17, 18, 0x7FFFFFFF, 0x80000000, 0xFFFFFFF7, 0xFFFFFFFF};
    std::mt19937 random(2004);
    int parsed = 0;
    for (int round = 0; round < 20000; ++round) {
        Bytes b = clip;
        int mutations = 1 + static_cast<int>(random() % 4);
        for (int m = 0; m < mutations; ++m) {
            switch (random() % 3) {
            case 0:
                b[random() % b.size()] = static_cast<unsigned char>(random());
                break;
            case 1:
                fake::put32(b, sizeFields[random() % std::size(sizeFields)], extremes[random() % std::size(extremes)]);
                break;
            default:
                fake::put32(b, sizeFields[random() % std::size(sizeFields)], static_cast<uint32_t>(random()));
                break;
            }
        }
        size_t length = random() % 4 == 0 ? random() % (b.size() + 1) : b.size();
        Parsed p = parse(b, length);
        ASSERT_TRUE(p.samplesInside) << "round " << round;
        parsed += p.clip ? 1 : 0;
    }
    EXPECT_GT(parsed, 0) << "some mutations leave a readable clip";
}

}  // namespace
