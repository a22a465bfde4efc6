#include "sound/portable/riff_wave.h"

#include <algorithm>

namespace {

constexpr size_t ChunkHeaderBytes = 8;   // identifier, then 32-bit little-endian size
constexpr size_t FormTypeBytes = 4;
constexpr size_t WaveFormatBytes = 18;   // the format record with its extra-size field

using Bytes = std::span<const unsigned char>;

uint16_t read16(Bytes b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

uint32_t read32(Bytes b, size_t at)
{
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

bool hasTag(Bytes b, size_t at, const char* tag)
{
    for (size_t i = 0; i < 4; ++i)
        if (b[at + i] != static_cast<unsigned char>(tag[i]))
            return false;
    return true;
}

struct Chunk {
    size_t data;      // offset of the chunk's first data byte
    uint64_t size;    // as the chunk header says; may run past the bytes
};

// Chunks are word-aligned: an odd-sized chunk is followed by a pad byte.
uint64_t paddedEnd(const Chunk& c) { return c.data + c.size + (c.size & 1); }

// The first chunk with identifier `id` (and, for a RIFF chunk, form type
// `form`) whose header lies in [from, end). Chunks of other identifiers are
// skipped by their stated sizes; a size that runs past `end` ends the search.
std::optional<Chunk> findChunk(Bytes b, uint64_t from, uint64_t end, const char* id, const char* form = nullptr)
{
    const size_t formBytes = form ? FormTypeBytes : 0;
    uint64_t at = from;
    while (at + ChunkHeaderBytes + formBytes <= end) {
        Chunk c{static_cast<size_t>(at + ChunkHeaderBytes), read32(b, at + 4)};
        if (hasTag(b, at, id) && (!formBytes || hasTag(b, c.data, form)))
            return c;
        at = paddedEnd(c);
    }
    return std::nullopt;
}

WaveFormat readFormat(Bytes b, size_t at)
{
    return {.formatTag = read16(b, at),
            .channels = read16(b, at + 2),
            .samplesPerSecond = read32(b, at + 4),
            .averageBytesPerSecond = read32(b, at + 8),
            .blockAlign = read16(b, at + 12),
            .bitsPerSample = read16(b, at + 14),
            .extraSize = read16(b, at + 16)};
}

}  // namespace

std::optional<WaveClip> parseWaveClip(Bytes bytes)
{
    const uint64_t fileEnd = bytes.size();
    auto riff = findChunk(bytes, 0, fileEnd, "RIFF", "WAVE");
    if (!riff)
        return std::nullopt;
    // Sub-chunks lie inside the RIFF chunk: within its stated size, and
    // within the bytes whatever that size says.
    const uint64_t riffEnd = std::min<uint64_t>(riff->data + riff->size, fileEnd);
    auto fmt = findChunk(bytes, riff->data + FormTypeBytes, riffEnd, "fmt ");
    if (!fmt || fmt->data + WaveFormatBytes > fileEnd)
        return std::nullopt;
    auto data = findChunk(bytes, paddedEnd(*fmt), riffEnd, "data");
    if (!data || data->data + data->size > fileEnd)
        return std::nullopt;
    return WaveClip{.format = readFormat(bytes, fmt->data),
                    .samples = bytes.subspan(data->data, static_cast<size_t>(data->size))};
}
