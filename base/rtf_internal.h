// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the RTF reader and writer; not part of the interface.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/encoding.h"
#include "base/rtf.h"

namespace qd {

// Text bytes of an RTF document in a Windows code page: 936 (and its
// supersets) is GBK, 2 a symbol font (bytes as Latin-1), anything else is
// read as 1252.
std::string DecodeRtfBytes(std::string_view bytes, int codePage);
// Whether two runs have the same formatting (their texts aside).
bool SameRtfFormat(const TRtfRun& a, const TRtfRun& b);

}  // namespace qd
