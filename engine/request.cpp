// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/request.h"

#include <cstring>

namespace qd {

void InitRecordData(TRecordData& r) {
    std::memset(&r.request, 0, sizeof r.request);
    r.id = 0;
    r.category = "临时保存";
    r.comment = "自己的评语";
    r.commentFile = "n";
    for (int32_t& e : r.extra) e = -1;
}

TRecordData MakeRecordData() {
    TRecordData r;
    InitRecordData(r);
    return r;
}

}  // namespace qd
