// SPDX-License-Identifier: GPL-3.0-or-later
// TFrmWnl: the perpetual calendar window. One Gregorian (Julian before the
// reform) month as a grid with the lunar date of every day, the month's
// solar terms, the era names and animal of the year, and the four pillars
// of the chosen moment; "排盘" hands the moment to the main window.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <vector>

#include "calendar/datetime.h"
#include "calendar/yidate.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace qd {

class TFrmMain;
class TUpDown;
class obb_class;

// The calendar and era lookup shared by every calendar window.
MYiDateEx& WnlCalendar();
const obb_class& WnlEras();

// Shows the grid picture and reports presses on it.
class TWnlImage : public QWidget {
public:
    explicit TWnlImage(QWidget* parent = nullptr);
    QImage Picture;
    std::function<void(int x, int y, Qt::MouseButton)> OnMouseDown;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
};

class TFrmWnl : public QWidget {
    Q_OBJECT
public:
    explicit TFrmWnl(TFrmMain* main, QWidget* parent = nullptr);

    // `r` holds an internal (astronomical) year.
    void Open(const TDateTime& r);
    void LoadYearTerms();
    void Redraw();

    void CboMChange() { Redraw(); }
    void CboDChange() { Redraw(); }
    void CboHChange() { Redraw(); }
    void CboMinuteChange() { Redraw(); }
    void UpYearClick();
    void EdtYearKeyPress();
    void BtoNowClick();
    void ImgMouseDown(int x, int y, Qt::MouseButton button);
    void BitBtn1Click();
    void BitBtn2Click();
    void BtnPaiClick();

    // What the last successful redraw showed (for the tests).
    const TDateTime& Selected() const { return selected_; }
    int FirstColumn() const { return firstColumn_; }
    int DaysInMonth() const { return days_; }
    const TSolarTermEntry* MonthTerms() const { return monthTerms_; }
    // The upper and lower text of grid cell `cell` (0 = first day cell after
    // the header row, row by row); empty when the cell has no day.
    QString CellText(int cell, bool lower) const;

    QLabel* LabShow = nullptr;
    QToolButton *BitBtn1 = nullptr, *BitBtn2 = nullptr, *BtoNow = nullptr;
    QLineEdit* EdtYear = nullptr;
    TUpDown* UpYear = nullptr;
    QComboBox *CboM = nullptr, *CboD = nullptr, *CboH = nullptr, *CboMinute = nullptr;
    TWnlImage* Img = nullptr;
    QPlainTextEdit *MeoJie = nullptr, *MeoGanZhi = nullptr, *MeoTitle = nullptr;
    QPushButton* BtnPai = nullptr;

private:
    int ShownYearOrDefault(int fallback) const;
    void SetShownYear(int shown);
    void ShowPillarsAndTitle();

    TFrmMain* main_;
    QString gridFont_;
    TDateTime selected_{2000, 1, 1, 12, 0};
    TDateTime lunar_{};
    int16_t days_ = 0;
    int16_t firstColumn_ = 0;
    TSolarTermEntry monthTerms_[3];
    std::vector<TSolarTermEntry> yearTerms_;
    std::vector<QString> upper_, lower_;  // by day index, for CellText
};

}  // namespace qd
