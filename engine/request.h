// SPDX-License-Identifier: GPL-3.0-or-later
// The cast request record (what the user entered) and the main window's
// current case. The request is a packed fixed-size record with GBK text
// fields: the case store and the legacy case file map onto it byte for byte.
#pragma once

#include <cstdint>
#include <string>

namespace qd {

#pragma pack(push, 1)
struct TCastRequest {
    uint8_t filled;  // 1 once the input panel has filled the record
    char name[21];   // GBK, at most 20 bytes of text
    int16_t year;    // 1900 to 2200, civil or lunar as `lunar` says
    int16_t month;
    int16_t day;
    int16_t hour;  // clock time of the 120° east meridian
    int16_t minute;
    uint8_t lunar;          // 1 = year, month, day are a lunar date
    uint8_t leap;           // 1 = the lunar month is the leap month
    uint8_t noble;          // 0 按卯酉时分, 1 起白天贵神, 2 起夜晚贵神
    uint8_t earth;          // earth number 1..12 stored as n mod 12
    int16_t province;       // item of the province list
    int16_t city;           // item of that province's city list
    float longitude;        // degrees east
    float latitude;         // degrees north
    uint8_t general;        // 0 automatic, 1..12 a chosen month general
    char place[301];        // GBK: province and city, or 未知地
    char question[201];     // GBK, at most 200 bytes of text
    uint8_t direct;         // 1 = direct cast by day and hour
    uint8_t directDay;      // item of the direct-cast day list
    uint8_t directHour;     // branch number
    uint8_t directGeneral;  // item 0..11; the general is (12 - item) mod 12
    uint8_t directEarth;    // branch number
};
#pragma pack(pop)
static_assert(sizeof(TCastRequest) == 556, "the stored layout of a cast request");

// The main window's current case: the request followed by the case fields.
struct TRecordData {
    TCastRequest request;
    int32_t id;
    std::string category;     // UTF-8
    std::string comment;      // UTF-8 plain text of the comment
    std::string commentFile;  // base name of the comment file
    int32_t extra[5];         // extra place indices
};

// Zero request, id 0, category 临时保存, comment 自己的评语, file name "n",
// extra indices -1.
void InitRecordData(TRecordData& r);
TRecordData MakeRecordData();

}  // namespace qd
