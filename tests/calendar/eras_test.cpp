// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/eras.h"

#include <gtest/gtest.h>

#include <string>

#include "base/encoding.h"

namespace qd {
namespace {

struct EraCase {
    int year;
    const char* text;
};

// Years whose era names any chronology agrees on, across every period, and
// the years where the table's conventions show.
TEST(EraNames, WellKnownYears) {
    const EraCase cases[] = {
        {-2070, ""},  // before the first record
        {-2069, "[夏] 夏禹 姒文命 禹1年"},
        {-1046, "[商] 商纣王 子受 帝辛29年"},
        {-1045, "[西周] 周武王 姬发 武王1年"},
        {-840, "[西周] 共和行政  共和1年"},
        {-550, "[东周] 周灵王 姬泄心 灵王21年"},                              // 551 BC
        {-299, "[东周] 周赧王 姬延 赧王15年；[秦] 秦昭襄王 嬴稷 昭襄王7年"},  // 300 BC
        {-220, "[秦] 秦始皇 嬴政 始皇26年"},                                  // 221 BC, the unification
        {-140, "[西汉] 汉景帝 刘启 景帝16年"},
        {-139, "[西汉] 汉武帝 刘彻 建元1年"},
        {-134, "[西汉] 汉武帝 刘彻 建元6年"},
        {-133, "[西汉] 汉武帝 刘彻 元光1年"},
        {0, "[西汉] 汉哀帝 刘欣 元寿2年"},  // 1 BC
        {1, "[西汉] 汉平帝 刘衎 元始1年"},
        {23, "[新] 新朝皇帝 王莽 地皇4年；[西汉] 更始帝 刘玄 更始1年"},
        {208, "[东汉] 汉献帝 刘协 建安13年"},
        {220, "[东汉] 汉献帝 刘协 建安25年；[三国-魏] 魏文帝 曹丕 黄初1年"},
        {295, "[西晋] 晋惠帝 司马衷 元康5年"},
        {305, "[西晋] 晋惠帝 司马衷 永兴2年"},
        {383, "[东晋] 晋孝武帝 司马曜 太元8年"},
        {450, "[南朝/宋] 宋文帝 刘义隆 元嘉27年；[北朝/北魏] 北魏太武帝 拓跋焘 太平真君11年"},
        {500, "[南朝/齐] 齐东昏侯 萧宝卷 永元2年；[北朝/北魏] 北魏宣武帝 元恪 景明1年"},
        // 齐和帝 at 江陵 beside 东昏侯 at 建康.
        {501,
         "[南朝/齐] 齐东昏侯 萧宝卷 永元3年；[南朝/齐] 齐和帝 萧宝融 中兴1年；[北朝/北魏] 北魏宣武帝 元恪 景明2年"},
        {557,
         "[南朝/梁] 梁敬帝 萧方智 太平2年；[南朝/陈] 陈武帝 陈霸先 永定1年；[南朝/后梁] 后梁宣帝 萧詧 大定3年；"
         "[北朝/北齐] 北齐文宣帝 高洋 天保8年；[北朝/北周] 北周孝闵帝 宇文觉 1年"},
        {558,
         "[南朝/陈] 陈武帝 陈霸先 永定2年；[南朝/后梁] 后梁宣帝 萧詧 大定4年；[北朝/北齐] 北齐文宣帝 高洋 天保9年；"
         "[北朝/北周] 北周明帝 宇文毓 2年"},
        {589, "[南朝/陈] 陈后主 陈叔宝 祯明3年；[隋] 隋文帝 杨坚 开皇9年"},
        {627, "[唐] 唐太宗 李世民 贞观1年"},
        {636, "[唐] 唐太宗 李世民 贞观10年"},
        {684, "[唐] 唐中宗 李显 嗣圣1年；[唐] 唐睿宗 李旦 文明1年；[武周] 武则天 武曌 光宅1年"},
        {713, "[唐] 唐玄宗 李隆基 先天2年；[唐] 唐玄宗 李隆基 开元1年"},
        {755, "[唐] 唐玄宗 李隆基 天宝14年"},
        {904, "[唐] 唐昭宗 李晔 天复4年；[唐] 唐昭宗 李晔 天佑1年"},
        // A record with offset 1 counts its first year as the era's second.
        {905, "[唐] 唐哀帝 李柷 天佑2年"},
        {907, "[唐] 唐哀帝 李柷 天佑4年；[五代/梁] 后梁太祖 朱温 开平1年"},
        {943, "[五代/晋] 后晋出帝 石重贵 天福8年"},
        {960, "[五代/周] 后周恭帝 柴宗训 显德7年；[北宋] 宋太祖 赵匡胤 建隆1年"},
        {1127, "[北宋] 宋钦宗 赵桓 靖康2年；[南宋] 宋高宗 赵构 建炎1年"},
        {1279, "[南宋] 宋末帝 赵昺 祥兴2年；[元] 元世祖 忽必烈 至元16年"},
        {1328,
         "[元] 元泰定帝 也孙铁木儿 致和1年；[元] 元天顺帝 阿剌吉八 天顺1年；[元] 元文宗 图帖睦尔 天历1年"},
        {1368, "[元] 元顺帝 妥懽帖睦尔 至正28年；[明] 明太祖 朱元璋 洪武1年"},
        {1644, "[明] 明思宗 朱由检 崇祯17年；[清] 清世祖 爱新觉罗·福临 顺治1年"},
        {1662, "[清] 清圣祖 爱新觉罗·玄烨 康熙1年"},
        {1700, "[清] 清圣祖 爱新觉罗·玄烨 康熙39年"},
        {1736, "[清] 清高宗 爱新觉罗·弘历 乾隆1年"},
        {1875, "[清] 清德宗 爱新觉罗·载湉 光绪1年"},
        {1911, "[清] 清逊帝 爱新觉罗·溥仪 宣统3年"},
        {1912, "[近、现代] 中华民国  民国1年"},
        {1948, "[近、现代] 中华民国  民国37年"},
        {11947, "[当代] 中国  公历纪元11947年"},
        {11948, ""},  // past the last record's reach
    };
    const obb_class obb;
    for (const EraCase& c : cases) EXPECT_EQ(obb.EraNames(c.year), c.text) << c.year;
}

TEST(EraNames, FromNineteenFortyNineTheCivilEraAlone) {
    const obb_class obb;
    for (int year : {1949, 2024, 2200, 9999}) {
        EXPECT_EQ(obb.EraNames(year), "[当代] 中国  公历纪元" + std::to_string(year) + "年");
    }
}

// From 共和 on no year is left without an era.
TEST(EraNames, EveryYearFromGongheOnHasAnEra) {
    const obb_class obb;
    for (int year = -840; year <= 2200; ++year) EXPECT_FALSE(obb.EraNames(year).empty()) << year;
}

TEST(EraTable, ShapeOfTheCompiledTable) {
    const auto table = EraTable();
    ASSERT_EQ(table.size(), 531u);
    EXPECT_EQ(table[0].start, -2069);
    EXPECT_EQ(table[0].years, 45);
    EXPECT_STREQ(table[101].era, "建元");
    EXPECT_EQ(table[101].start, -139);

    int overlaps = 0;
    for (size_t i = 1; i < table.size(); ++i) {
        if (table[i].start < table[i - 1].start + table[i - 1].years) ++overlaps;
    }
    EXPECT_EQ(overlaps, 161);

    // Each text fits its fixed GBK field with the terminator, and GBK has
    // every character of it.
    for (const TEraRecord& r : table) {
        const std::pair<const char*, size_t> fields[] = {
            {r.dynasty, 11}, {r.title, 11}, {r.personalName, 31}, {r.era, 11}};
        for (const auto& [text, width] : fields) {
            EXPECT_LT(GbkLength(text), width) << text;
            EXPECT_EQ(Utf8ToGbk(text).find('?'), std::string::npos) << text;
        }
    }
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
