#include "app/castsession.h"

#include <QString>

#include "app/messages.h"

namespace qd {

bool CastRecord(TCastSession& s, QWidget* parent) {
    if (!s.engine) return false;
    if (!s.engine->Cast(s.record.request)) {
        ShowBox(parent, QString::fromStdString(s.engine->ErrorText()), QStringLiteral("错误"), TMsgIcon::Error);
        return false;
    }
    s.shown = true;
    return true;
}

}  // namespace qd
