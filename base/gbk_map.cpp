// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/gbk_map.h"

#include <iconv.h>

#include <array>

namespace qd::gbk {

namespace {

// The codecs encoding.h promises: written as GBK, read as GB18030 (whose
// two-byte part maps as GBK does).
constexpr const char* kWriteCodec = "GBK";
constexpr const char* kReadCodec = "GB18030";
constexpr const char* kCodePoints = "UTF-32LE";

class CIconv {
public:
    CIconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~CIconv() {
        if (Ok()) iconv_close(cd_);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;
    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input, or answers -1 when the converter refuses it.
    // Otherwise the number of bytes written to `out`.
    int Whole(const void* in, size_t inSize, void* out, size_t outSize) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = static_cast<char*>(const_cast<void*>(in));
        char* outPtr = static_cast<char*>(out);
        size_t inLeft = inSize, outLeft = outSize;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
            return -1;
        return static_cast<int>(outSize - outLeft);
    }

private:
    iconv_t cd_;
};

std::array<unsigned char, 4> ToLe(uint32_t cp) {
    return {static_cast<unsigned char>(cp), static_cast<unsigned char>(cp >> 8),
            static_cast<unsigned char>(cp >> 16), static_cast<unsigned char>(cp >> 24)};
}

uint32_t FromLe(const unsigned char* b) {
    return b[0] | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

}  // namespace

const CGbkMap& CGbkMap::Get() {
    static const CGbkMap map;
    return map;
}

CGbkMap::CGbkMap()
    : read_(126 * kTrails, 0), write_(0x10000, 0), roundTrips_(0x10000 / 64, 0), oneByte_(0x10000 / 64, 0) {
    CIconv reader(kCodePoints, kReadCodec);
    CIconv writer(kWriteCodec, kCodePoints);
    if (!reader.Ok() || !writer.Ok()) return;  // no converter: everything reads as missing

    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFF; ++trail) {
            const unsigned char in[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
            unsigned char cp[8];
            if (reader.Whole(in, 2, cp, sizeof cp) == 4)
                read_[(lead - 0x81) * kTrails + (trail - 0x40)] = FromLe(cp);
        }
    }

    for (uint32_t cp = 0x80; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const auto in = ToLe(cp);
        unsigned char out[8];
        const int n = writer.Whole(in.data(), 4, out, sizeof out);
        if (n == 1) {
            write_[cp] = out[0];
            oneByte_[cp >> 6] |= uint64_t{1} << (cp & 63);
        }
        if (n == 2) write_[cp] = static_cast<uint16_t>(out[0] << 8 | out[1]);
    }

    const auto tag = ToLe(0xE0001);
    unsigned char out[8];
    dropsTags_ = writer.Whole(tag.data(), 4, out, sizeof out) == 0;

    // Read back as encoding.cpp reads: a lone 0x80 is the euro; any other
    // lone byte from 0x81 up is no character.
    for (uint32_t cp = 0x80; cp < 0x10000; ++cp) {
        uint16_t code = 0;
        const TWrite w = Write(cp, code);
        bool same = false;
        if (w == TWrite::kOneByte) same = code == 0x80 && cp == 0x20AC;
        if (w == TWrite::kTwoBytes) same = Read(static_cast<unsigned char>(code >> 8), code & 0xFF) == cp;
        if (same) roundTrips_[cp >> 6] |= uint64_t{1} << (cp & 63);
    }
    // ASCII stays itself; NUL would end the field.
    for (uint32_t cp = 1; cp < 0x80; ++cp) roundTrips_[cp >> 6] |= uint64_t{1} << (cp & 63);
}

}  // namespace qd::gbk
