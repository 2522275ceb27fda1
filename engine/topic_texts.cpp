// SPDX-License-Identifier: GPL-3.0-or-later
// The fixed wording and digit tables of the topic readings. Data only;
// topics.cpp selects the sentences.
#include "engine/topic_texts.h"

namespace qd::topic_tables {

const char* const kTopicTitles[5] = {"财运预测", "婚姻预测", "疾病预测", "求职预测", "彩票预测"};

const char* const kWealthHead = "★预测财运，当看将神并配合用爻以定财运好坏。\r\n\r\n";
const char* const kWealthStrength[3] = {
    "○:财爻旺相，求财易得，公私可求，财多。\r\n\r\n",
    "○:财爻休囚，求财不易，有也多为辛勤劳动所得之财，财少。\r\n\r\n",
    "○:财爻死，求财不得，劳而无功。\r\n\r\n",
};
const char* const kWealthVoid = "○:财逢空亡，无财可得，镜中花、水中月而已，经商交易防欺诈。\r\n\r\n";
const char* const kWealthYang[2] = {
    "○:财爻属阴，多为偏财，为投机、特殊行业所得之财或与女人有关。\r\n\r\n",
    "○:财爻属阳，多为正财，为正当劳动、幸勤劳动所得之财或与男人有关。\r\n\r\n",
};
const char* const kWealthPhase[5] = {
    "○:财爻属水，钱财多与水利、水产、渔业、茶艺、旅馆、新闻业、贸易业、演艺等较具流动变化之行业有关。\r\n\r\n",
    "○:财爻属木，钱财多与木材、家俱、纸业、纺织、图书、木竹手工艺等有关。\r\n\r\n",
    "○:财爻属火，钱财多与电器、液化气、美容、化妆品、灯饰、百货业、照明、火药等易燃物有关。\r\n\r\n",
    "○:财爻属土，钱财多与矿产、房地产、土产、农畜牧业、建筑等较固定行业有关。\r\n\r\n",
    "○:财爻属金，钱财多与金属、机械、家电、钟表、车辆运输、金融、证券、科技等有关。\r\n\r\n",
};
const char* const kWealthAbroad = "○:将克神或人元生将，为出外经营所得之财。\r\n\r\n";
const char* const kWealthWithRenYuan[2] = {
    "○:将神和人元相克害，经营求财不得天时，出外少人相助。\r\n\r\n",
    "○:将神和人元相生助，经营求财得天时之利，出外有贵人相助。\r\n\r\n",
};
const char* const kWealthWithDiFen[2] = {
    "○:将神和地分相克害，经营求财不得地利，市场环境不好，或路途不便。\r\n\r\n",
    "○:将神和地分相生助，经营求财得地利之助，市场环境有利，或路途方便。\r\n\r\n",
};

const char* const kMarriageHead = "★预测婚姻，当看将神和贵神并配合用爻以定婚姻成败。\r\n\r\n";
const char* const kMarriageStrength[3] = {
    "○:用爻旺相，婚姻易成，男女合配，合顺美满之像。\r\n\r\n",
    "○:用爻休囚，正常婚姻，或为明媒正娶，好事有时也会多磨。\r\n\r\n",
    "○:用爻死，婚姻难成，或者夫妻双方无感情。\r\n\r\n",
};
const char* const kMarriageVoid = "○:用爻逢空，多为虚假婚姻，婚事难成。\r\n\r\n";
const char* const kMarriageCouple[2] = {
    "○:将神和贵神相克害，夫妻不合感情差，一方对另一方无所助益，或夫妻分居两地。\r\n\r\n",
    "○:将神和贵神相生助，夫妻感情融洽，一方对另一方有助益，妻旺夫，夫利妻。\r\n\r\n",
};

const char* const kIllnessHead = "★预测疾病，当看用爻以察病情。\r\n\r\n";
const char* const kIllnessStrength[3] = {
    "○:用爻旺相，平安小病，很快就好。\r\n\r\n",
    "○:用爻休囚，一般疾病，稍待时日需花费钱财，运过就好。\r\n\r\n",
    "○:用爻死，疾病较重或为慢性病。\r\n\r\n",
};
const char* const kIllnessVoid = "○:用爻逢空，小病逢冲日可愈，大病恐会加重。\r\n\r\n";
const char* const kIllnessPhase[5] = {
    "○:用爻属水，多为肾、膀胱、足、阴部、泌尿、腰部、耳朵、疝气",
    "○:用爻属木，多为胆、肝、头、四肢、关节、筋脉、眼睛、神经",
    "○:用爻属火，多为小肠、心脏、肩、血液、脸部、牙齿、腹部、舌",
    "○:用爻属土，多为胃、脾、肋、腹、背、胸部、肚子",
    "○:用爻属金，多为大肠、肺、肚脐、大腿、气管、鼻子、皮肤、痔疮",
};
const char* const kIllnessPhaseTail = "等部位的病。\r\n\r\n";
const char* const kIllnessCure[2] = {
    "○:方泄干之气，疾病多反复，多费钱财，或难觅良医。\r\n\r\n",
    "○:干得方之助，疾病一次性治愈，或有良医救治。\r\n\r\n",
};

const char* const kJobHead = "★预测求职，当看用爻以察能否找到称心职业。\r\n\r\n";
const char* const kJobStrength[3] = {
    "○:用爻旺相，求职易成，自己较有实力，可找到理想职业。\r\n\r\n",
    "○:用爻休囚，虽然不是很理想，但是通过努力，也能找到一份谋生的职业。\r\n\r\n",
    "○:用爻死，求职难成，专业不对口。\r\n\r\n",
};
const char* const kJobVoid = "○:用爻逢空，求职难成，或为自己能力不够。\r\n\r\n";
const char* const kJobPhase[5] = {
    "○:用爻属水，多为与水有关之行业，比如：水利、水产、渔业、航海、饮料、游泳、旅馆、自由业、服务业、贸易、新闻业等较具流动变化之行业。\r\n\r\n",
    "○:用爻属木，多为与木有关之行业，比如：园艺、种值、林业、木材、家俱、纺织、纸业、文教、学术、宗教、医疗、公务等。\r\n\r\n",
    "○:用爻属火，多为与火有关之行业，比如：灯饰、炉具、眼镜、电子、爆竹、电焊、煤炭、天然气、美容美发、加工、百货业等。\r\n\r\n",
    "○:用爻属土，多为与土有关之行业，比如：矿产、陶瓷、房地产、水泥、畜牧业、建筑、土产、饲料、仓储、供书等较固定之行业。\r\n\r\n",
    "○:用爻属金，多为金有关之行业，比如：金属、机械、银行、电器、钟表、刀具、车辆、运输、金融、证券、科技、武术等。\r\n\r\n",
};

// By stem number: 癸 甲 乙 丙 丁 戊 己 庚 辛 壬.
const uint8_t kStemDigit[10] = {5, 9, 8, 7, 6, 5, 9, 8, 7, 6};
// By branch number: 亥 子 丑 寅 卯 辰 巳 午 未 申 酉 戌.
const uint8_t kBranchDigit[12] = {4, 9, 8, 7, 6, 5, 4, 9, 8, 7, 6, 5};
const uint8_t kPhaseDigitsFirst[5][4] = {
    {1, 5, 7, 0xFF},  // 水
    {3, 6, 9, 0xFF},  // 木
    {2, 4, 8, 0xFF},  // 火
    {1, 5, 7, 0xFF},  // 土
    {3, 6, 9, 0xFF},  // 金
};
const uint8_t kPhaseDigitsSecond[5][3] = {
    {1, 6, 0xFF},  // 水
    {3, 8, 0xFF},  // 木
    {2, 7, 0xFF},  // 火
    {5, 0, 0xFF},  // 土
    {4, 9, 0xFF},  // 金
};
const char* const kLotteryHead = "★彩票号码预测：当详察四位五行、太玄数等组合\r\n\r\n1：";

}  // namespace qd::topic_tables
