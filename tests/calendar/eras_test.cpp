#include "calendar/eras.h"

#include <gtest/gtest.h>

#include <string>

namespace qd {
namespace {

struct EraCase {
    int year;
    const char* text;
};

TEST(EraNames, ShippedTable) {
    const EraCase cases[] = {
        {2024, "[当代] 中国  公历纪元2024年"},
        {1949, "[当代] 中国  公历纪元1949年"},
        {9999, "[当代] 中国  公历纪元9999年"},
        {1912, "[近、现代] 中华民国  民国1年"},
        {1920, "[近、现代] 中华民国  民国9年"},
        {1948, "[近、现代] 中华民国  民国37年"},
        // Offset 1: the record's first year is the era's second.
        {905, "[唐]   天佑2年"},
        {906, "[唐]   天佑3年"},
        {907, "[唐]   天佑4年"},
        {-139, "[西汉]   建元1年"},
        {-134, "[西汉]   建元6年"},
        // Before any record, in a gap, and past the last one's reach.
        {-2070, ""},
        {-133, ""},
        {908, ""},
        {1911, ""},
    };
    const obb_class obb;
    for (const EraCase& c : cases) EXPECT_EQ(obb.EraNames(c.year), c.text) << c.year;
}

TEST(EraNames, ParallelRecordsAreJoinedInTableOrder) {
    const TEraRecord table[] = {
        {100, 10, 0, "甲朝", "帝", "某", "元始"},
        {105, 3, 2, "乙朝", "王", "", "太平"},
        {106, 1, 0, "丙朝", "", "", "永安"},
    };
    EXPECT_EQ(EraNames(table, 104), "[甲朝] 帝 某 元始5年");
    EXPECT_EQ(EraNames(table, 105), "[甲朝] 帝 某 元始6年；[乙朝] 王  太平3年");
    EXPECT_EQ(EraNames(table, 106), "[甲朝] 帝 某 元始7年；[乙朝] 王  太平4年；[丙朝]   永安1年");
    EXPECT_EQ(EraNames(table, 108), "[甲朝] 帝 某 元始9年");
    EXPECT_EQ(EraNames(table, 110), "");
}

}  // namespace
}  // namespace qd
