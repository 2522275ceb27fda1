// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/castsession.h"

#include <QString>
#include <algorithm>

#include "app/messages.h"

namespace qd {

void TellSettingsProblems(TCastSession& s, QWidget* parent) {
    if (!s.engine) return;
    QString lines;
    for (const TSettingsProblem& p : s.engine->SettingsProblems()) {
        if (std::find(s.toldProblems.begin(), s.toldProblems.end(), p) != s.toldProblems.end()) continue;
        s.toldProblems.push_back(p);
        lines +=
            QStringLiteral("\n%1=%2").arg(QString::fromStdString(p.key), QString::fromStdString(p.value));
    }
    if (lines.isEmpty()) return;
    ShowBox(parent,
            QStringLiteral("排盘设置文件dat/set.ini中下面的设置无法使用，已按默认值起课：") + lines +
                QStringLiteral("\n\n请在“选项—排盘设置”中重新设置。"),
            QStringLiteral("注意"), TMsgIcon::Warning);
}

bool CastRecord(TCastSession& s, QWidget* parent) {
    if (!s.engine) return false;
    const bool cast = s.engine->Cast(s.record.request);
    TellSettingsProblems(s, parent);
    if (!cast) {
        ShowBox(parent, QString::fromStdString(s.engine->ErrorText()), QStringLiteral("错误"),
                TMsgIcon::Error);
        return false;
    }
    s.shown = true;
    return true;
}

}  // namespace qd
