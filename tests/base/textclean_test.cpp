// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/textclean.h"

#include <string>

#include <gtest/gtest.h>

namespace qd {
namespace {

TEST(TextClean, RemovesForbiddenCutsAndReports) {
    struct Case {
        const char* in;
        size_t limit;
        const char* out;
        bool changed;
    } cases[] = {
        {"张三", 10, "张三", false},
        {"", 10, "甲", true},
        {"", 0, "甲", true},
        {"a b", 10, "ab", true},
        {"\"*<>?\\/|:' x", 0, "x", true},
        {"a::b**c", 0, "abc", true},  // repeated pieces
        {"一二三四五六七八九十十一", 10, "一二三四五六七八九十", true},
        {"一二三四五六七八九十", 10, "一二三四五六七八九十", false},
        {"要问的事情。", 0, "要问的事情。", false},
        {"a 中b", 2, "a中", true},    // cut counts characters, not bytes
        {"：？", 10, "：？", false},  // full-width forms are kept
        {"***", 10, "", true},        // emptied by the removal: not refilled
    };
    for (const Case& c : cases) {
        std::string t = c.in;
        EXPECT_EQ(CleanText(t, c.limit), c.changed) << c.in;
        EXPECT_EQ(t, c.out) << c.in;
    }
}

}  // namespace
}  // namespace qd
