// SPDX-License-Identifier: GPL-3.0-or-later
// The GBK code map behind the conversions of base/encoding: built once per
// process from the system's converter, so that the table-driven conversions
// give exactly what that converter gives, without running it for every text.
// Internal to base/.
#pragma once

#include <cstdint>
#include <vector>

namespace qd::gbk {

// What writing a code point in GBK gives.
enum class TWrite : uint8_t {
    kMissing,  // GBK lacks it: written as '?'
    kDropped,  // written as nothing (the converter drops language tags)
    kOneByte,  // one byte (the euro, 0x80)
    kTwoBytes,
};

class CGbkMap {
public:
    // The process-wide map; built on first use, safe from any thread.
    static const CGbkMap& Get();

    // Code point of the two-byte code lead, trail (lead 0x81..0xFE); 0 when
    // the pair is no character of the reading codec.
    uint32_t Read(unsigned char lead, unsigned char trail) const {
        if (lead < 0x81 || lead == 0xFF || trail < 0x40) return 0;
        return read_[(lead - 0x81) * kTrails + (trail - 0x40)];
    }

    // How a code point from 0x80 up is written; `code` receives the byte (kOneByte) or the two
    // bytes, lead first (kTwoBytes).
    TWrite Write(uint32_t cp, uint16_t& code) const {
        if (cp >= 0x10000)
            return dropsTags_ && (cp >> 7) == (0xE0000 >> 7) ? TWrite::kDropped : TWrite::kMissing;
        code = write_[cp];
        if (code == 0) return TWrite::kMissing;
        return code < 0x100 ? TWrite::kOneByte : TWrite::kTwoBytes;
    }

    // The GBK bytes of `cp` when writing it in GBK and reading it back gives
    // `cp` again (1 or 2), else 0.
    int RoundTripWidth(uint32_t cp) const {
        if (cp >= 0x10000 || (roundTrips_[cp >> 6] >> (cp & 63) & 1) == 0) return 0;
        return cp < 0x80 || (oneByte_[cp >> 6] >> (cp & 63) & 1) != 0 ? 1 : 2;
    }

private:
    CGbkMap();

    static constexpr int kTrails = 0x100 - 0x40;
    std::vector<uint32_t> read_;        // (lead - 0x81) * kTrails + (trail - 0x40)
    std::vector<uint16_t> write_;       // by BMP code point; 0 none, < 0x100 one byte
    std::vector<uint64_t> roundTrips_;  // one bit per BMP code point
    std::vector<uint64_t> oneByte_;     // one bit per BMP code point written as one byte
    bool dropsTags_ = false;
};

}  // namespace qd::gbk
