// SPDX-License-Identifier: GPL-3.0-or-later

#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "calendar/julian.h"
#include "cli/command.h"

namespace qd::cli {

namespace {

// Reads an unsigned run of digits of length [minDigits, maxDigits] at pos.
bool Digits(const std::string& s, size_t& pos, size_t minDigits, size_t maxDigits, long& out) {
    size_t start = pos;
    out = 0;
    while (pos < s.size() && pos - start < maxDigits && s[pos] >= '0' && s[pos] <= '9') {
        out = out * 10 + (s[pos] - '0');
        ++pos;
    }
    return pos - start >= minDigits;
}

// The range the calendar answers for.
constexpr long kMinYear = -4712;
constexpr long kMaxYear = 9999;

}  // namespace

int BadInput(const std::string& message) {
    std::cerr << "qdl: " << message << '\n';
    return kBadInput;
}

std::optional<TDateTime> ParseDate(const std::string& s) {
    size_t pos = 0;
    bool negative = false;
    if (pos < s.size() && s[pos] == '-') {
        negative = true;
        ++pos;
    }
    long y, m, d;
    if (!Digits(s, pos, 1, 5, y) || pos >= s.size() || s[pos++] != '-') return std::nullopt;
    if (!Digits(s, pos, 1, 2, m) || pos >= s.size() || s[pos++] != '-') return std::nullopt;
    if (!Digits(s, pos, 1, 2, d) || pos != s.size()) return std::nullopt;
    if (negative) y = -y;
    if (y < kMinYear || y > kMaxYear || m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
    TDateTime r{static_cast<int16_t>(y), static_cast<int16_t>(m), static_cast<int16_t>(d), 12, 0};
    if (!IsValidDate(r)) return std::nullopt;
    return r;
}

bool ParseTime(const std::string& s, TDateTime& r) {
    size_t pos = 0;
    long h, m;
    if (!Digits(s, pos, 1, 2, h) || pos >= s.size() || s[pos++] != ':') return false;
    if (!Digits(s, pos, 2, 2, m) || pos != s.size()) return false;
    if (h > 23 || m > 59) return false;
    r.hour = static_cast<int16_t>(h);
    r.minute = static_cast<int16_t>(m);
    return true;
}

std::optional<long> ParseInt(const std::string& s, long lo, long hi) {
    if (s.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return std::nullopt;
    return v;
}

std::optional<double> ParseDouble(const std::string& s) {
    if (s.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::string ExecutableFolder() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    std::string path(buf, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string FormatDate(const TDateTime& r) {
    char buf[32];
    if (r.year < 0)
        std::snprintf(buf, sizeof buf, "-%04d-%02d-%02d", -r.year, r.month, r.day);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", r.year, r.month, r.day);
    return buf;
}

std::string FormatDateTime(const TDateTime& r) {
    char buf[16];
    std::snprintf(buf, sizeof buf, " %02d:%02d", r.hour, r.minute);
    return FormatDate(r) + buf;
}

}  // namespace qd::cli
