// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the INI reader and writer: any file must read
// without a crash or a sanitizer report, and writing one key changes that
// key's line and nothing else: every other byte of the file stays.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "base/inifile.h"

namespace {

const std::string& Scratch() {
    static const std::string path = "/tmp/qd_ini_fuzz_" + std::to_string(getpid()) + ".ini";
    return path;
}

std::string ReadBack(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool HasBreak(const std::string& s, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i)
        if (s[i] == '\n') return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    { std::ofstream(Scratch(), std::ios::binary | std::ios::trunc) << input; }
    qd::CIniFile ini(Scratch());
    std::string section, key;
    for (const std::string& s : ini.Sections()) {
        for (const std::string& k : ini.Keys(s)) {
            // Names holding a line break character cannot be written as read,
            // and a write refuses an empty section name.
            if (!s.empty() && s.find('\r') == std::string::npos && k.find('\r') == std::string::npos) {
                section = s;
                key = k;
                break;
            }
        }
        if (!key.empty()) break;
    }
    if (key.empty()) return 0;
    ini.ReadInteger(section, key, 0);
    ini.ReadBool(section, key, false);
    if (!ini.WriteString(section, key, "fz")) __builtin_trap();
    const std::string output = ReadBack(Scratch());
    // input = P X S and output = P Y S, where X and Y are parts of one line.
    size_t prefix = 0;
    while (prefix < input.size() && prefix < output.size() && input[prefix] == output[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < input.size() - prefix && suffix < output.size() - prefix &&
           input[input.size() - 1 - suffix] == output[output.size() - 1 - suffix])
        ++suffix;
    if (HasBreak(input, prefix, input.size() - suffix) || HasBreak(output, prefix, output.size() - suffix))
        __builtin_trap();
    qd::CIniFile again(Scratch());
    if (again.ReadString(section, key, "") != "fz") __builtin_trap();
    return 0;
}
