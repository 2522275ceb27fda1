// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/places.h"

namespace qd {

const char* const kProvinces[kProvinceCount] = {
    "福建省", "北京市", "天津市", "河北省", "山西省", "内蒙古", "辽宁省", "吉林省", "黑龙江省",
    "上海市", "江苏省", "浙江省", "安徽省", "江西省", "山东省", "河南省", "湖北省", "湖南省",
    "广东省", "广西",   "海南省", "四川省", "重庆市", "贵州省", "云南省", "西藏",   "陕西省",
    "甘肃省", "青海省", "宁夏",   "新疆",   "台湾省", "香港",   "澳门",   "未知地",
};

}  // namespace qd
