// SPDX-License-Identifier: GPL-3.0-or-later
// Small controls of the forms: the up-down arrows beside the year field and
// the text window of the topic readings.
#pragma once

#include <QValidator>
#include <QWidget>

class QPlainTextEdit;
class QToolButton;

namespace qd {

// Gives a component its name as object name, so that it can be found by it.
template <class T>
T* Named(T* object, const char* name) {
    object->setObjectName(QLatin1String(name));
    return object;
}

// Two arrows that step a position within [min, max] and report each click.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(int min, int max, QWidget* parent = nullptr);
    int Position() const { return pos_; }
    void SetPosition(int p);
    void Step(int delta);
signals:
    void clicked();

private:
    int min_, max_, pos_;
};

// Limits an edit to a number of bytes of its GBK form, the size of the
// record field the text ends up in (a Chinese character takes two). Input
// past the limit, typed or pasted, is cut to it rather than refused whole,
// and the cut is remembered so that the reader of the text can say so.
class TGbkLengthValidator : public QValidator {
public:
    TGbkLengthValidator(int maxBytes, QObject* parent) : QValidator(parent), max_(maxBytes) {}
    State validate(QString& input, int& pos) const override;
    // Whether an input was cut since the last call; clears the mark.
    bool TakeCut();

private:
    int max_;
    mutable bool cut_ = false;
};

// TFrmText: a stay-on-top window with one plain-text box.
class TFrmText : public QWidget {
    Q_OBJECT
public:
    explicit TFrmText(QWidget* parent = nullptr);
    void SetContent(const QString& title, const QString& text);
    QString Text() const;

    QPlainTextEdit* Memo = nullptr;
};

}  // namespace qd
