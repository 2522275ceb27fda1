// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the RTF reader: any input must be read without a
// crash, a sanitizer report or a hang, and the document read must survive
// being written and read again with the same text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const qd::TRtfDocument doc = qd::ReadRtf(input);
    const std::string text = qd::RtfPlainText(doc);
    const std::string again = qd::RtfPlainText(qd::ReadRtf(qd::WriteRtf(doc)));
    if (again != text) __builtin_trap();
    return 0;
}
