// SPDX-License-Identifier: GPL-3.0-or-later

#include "store/store_tables.h"

namespace qd {

// clang-format off
const TColumnDef kCaseColumns[kCaseColumnCount] = {
    {"id", "integer primary key"},
    {"name", "char(20)"},
    {"sex", "integer"},
    {"className", "char(20)"},
    {"dateY", "integer"},
    {"dateNum", "char(30)"},
    {"dateStyle", "char(5)"},
    {"addrInd", "char(30)"},
    {"addrName", "varchar(150)"},
    {"addrNum", "char(40)"},
    {"remarkFile", "char(50)"},
    {"tag1", "varchar(100)"},
    {"tag2", "varchar(100)"},
    {"event", "varchar(150)"},
    {"keStyle", "varchar(15)"},
    {"otherKe", "varchar(30)"},
    {"masterDate", "varchar(30)"},
    {"remarkText", "text"},
};
// clang-format on

const char* const kExtraColumns[kExtraColumnCount] = {
    "PlatformId", "verCode", "primaryId", "className", "baseType",
};

const char* const kDefaultCategories[kDefaultCategoryCount] = {
    "开业", "进宅", "结婚", "阳宅风水", "阴宅", "求财", "催丁", "临时保存",
};

}  // namespace qd
