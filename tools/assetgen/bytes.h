// The little-endian words of the BMP and RIFF headers.
#pragma once

#include <cstdint>
#include <vector>

namespace assetgen {

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}
    void u8(uint8_t v) { out_.push_back(v); }
    void u16(uint32_t v)
    {
        out_.push_back(static_cast<uint8_t>(v));
        out_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void tag(const char (&t)[5])
    {
        for (int i = 0; i < 4; ++i)
            out_.push_back(static_cast<uint8_t>(t[i]));
    }

private:
    std::vector<uint8_t>& out_;
};

}  // namespace assetgen
