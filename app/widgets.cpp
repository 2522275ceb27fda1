// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/widgets.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "base/encoding.h"

namespace qd {

TUpDown::TUpDown(int min, int max, QWidget* parent) : QWidget(parent), min_(min), max_(max), pos_(min) {
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    auto* up = new QToolButton(this);
    auto* down = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    // Skins pad tool buttons; these arrows are too small for that.
    setStyleSheet(QStringLiteral(
        "QToolButton { padding: 0px; margin: 0px; border: 1px solid #a0a0a0; border-radius: 0px; }"));
    for (QToolButton* b : {up, down}) {
        b->setFixedSize(16, 12);
        b->setAutoRepeat(true);
        lay->addWidget(b);
    }
    connect(up, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void TUpDown::SetPosition(int p) { pos_ = std::clamp(p, min_, max_); }

void TUpDown::Step(int delta) {
    SetPosition(pos_ + delta);
    emit clicked();
}

namespace {

bool FitsGbk(const QString& s, int maxBytes) { return Utf8ToGbk(s.toStdString()).size() <= size_t(maxBytes); }

// Removes the character before `at` (a surrogate pair whole); answers the
// new position.
int RemoveCharBefore(QString& s, int at) {
    const int n = at >= 2 && s[at - 1].isLowSurrogate() && s[at - 2].isHighSurrogate() ? 2 : 1;
    s.remove(at - n, n);
    return at - n;
}

}  // namespace

QValidator::State TGbkLengthValidator::validate(QString& input, int& pos) const {
    if (FitsGbk(input, max_)) return Acceptable;
    // What was typed or pasted ends at the cursor: its tail goes first, as
    // a field at its limit takes no more; text that still does not fit
    // (set from outside) loses its own tail.
    pos = std::clamp(pos, 0, int(input.size()));
    while (pos > 0 && !FitsGbk(input, max_)) pos = RemoveCharBefore(input, pos);
    while (!input.isEmpty() && !FitsGbk(input, max_)) RemoveCharBefore(input, int(input.size()));
    cut_ = true;
    return Acceptable;
}

bool TGbkLengthValidator::TakeCut() {
    const bool cut = cut_;
    cut_ = false;
    return cut;
}

TFrmText::TFrmText(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowMinimizeButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    Memo = new QPlainTextEdit(this);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(Memo);
    resize(392, 228);
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect r = s->availableGeometry();
        move(r.center() - QPoint(196, 114));
    }
}

void TFrmText::SetContent(const QString& title, const QString& text) {
    setWindowTitle(title);
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Memo->setPlainText(t);
}

QString TFrmText::Text() const { return Memo->toPlainText(); }

}  // namespace qd
