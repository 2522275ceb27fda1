// SPDX-License-Identifier: GPL-3.0-or-later
// TCastPanel: the cast input panel on the right of the main window (Panel2).
// The moment, calendar kind, place, name, question, noble mode, earth number
// and month general; "起课" reads the panel into the request on screen and
// casts it, the toolbar steps the last cast by a day or a double-hour, "现在"
// sets the present moment. The save, new-case and topic buttons sit here
// too; their commands belong to the window, which hears them as signals.
#pragma once

#include <QWidget>
#include <vector>

#include "calendar/datetime.h"
#include "engine/request.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace qd {

struct TCastSession;
class TGbkLengthValidator;
class TUpDown;

// What a toolbar button steps the last cast's moment by.
enum class TStep { PreviousDay = 1, NextDay, PreviousDoubleHour, NextDoubleHour };

class TCastPanel : public QWidget {
    Q_OBJECT
public:
    // `appFolder` ends with '/' (the places file is dat/dili.ini in it).
    TCastPanel(const QString& appFolder, TCastSession& session, QWidget* parent = nullptr);

    // The item lists (month, day, hour, minute, noble mode, earth, month
    // general, provinces), filled at the show step.
    void FillLists();
    // The show step's first selections: the first month general, noble mode
    // and earth, the present moment, the default place coordinates.
    void ResetSelections();

    // "起课": a panel cast, never a direct one.
    void BtnPaiClick();
    // Reads the panel into the request (cleaning name and question, checking
    // the year) and casts; the direct cast comes here with its fields set.
    void ReadPanelAndCast();
    void SbtoNowClick();
    // "日时": the direct cast by day and hour.
    void SbtoOtherClick();
    void UpYearClick();
    // Loads the chosen province's cities and their coordinates.
    void CboProvClick();
    // Settles the city box's typed text: a city's name selects it, other
    // text is replaced by the chosen city's name.
    void CityTyped();
    // Needs a cast on screen; casts the stepped moment as a Gregorian one.
    void StepAndCast(TStep step);

    // Shows a Gregorian moment (no cast).
    void SetPanelMoment(int year, int month, int day, int hour, int minute);
    // The calendar window's "排盘": its year text and list items as a
    // Gregorian moment, cast at once.
    void CastCalendarMoment(const QString& yearText, int monthItem, int dayItem, int hour, int minute);
    // Restores the panel from a stored request.
    void ShowRequest(const TCastRequest& q);
    // The panel's moment as the calendar window takes it: there is no year
    // 0, so a year of 0 or below is taken one lower.
    TDateTime Moment() const;
    // "月将": the month general follows the moment.
    void SelectAutomaticGeneral();

    int Province() const;
    int City() const;
    // A province, its cities, then a city; one out of range selects the first.
    void SelectPlace(int province, int city);
    // Coordinates of a city of the chosen province; 120° east, 30° north
    // for a city that has none.
    float Longitude(int city) const;
    float Latitude(int city) const;

    // "存旧" in blue while the case on screen is stored, else "存新" in black.
    void ShowSaveKind(bool stored);
    // The same again after a change of skin.
    void RefreshSaveKind();

signals:
    void castSucceeded();
    void topicRequested(int topic);
    void saveRequested();
    void newCaseRequested();

private:
    void BuildControls();

    QString appFolder_;
    TCastSession& session_;
    std::vector<float> lon_{120.0f}, lat_{30.0f};

    QLineEdit* EdtYear = nullptr;
    TUpDown* UpYear = nullptr;
    QComboBox *CboM = nullptr, *CboD = nullptr, *CboH = nullptr, *CboMinute = nullptr;
    QRadioButton *RdoGong = nullptr, *RdoNong = nullptr;
    QCheckBox* ChkRun = nullptr;
    QComboBox *CboProv = nullptr, *CboCity = nullptr;
    QLineEdit *EdtName = nullptr, *EdtEvent = nullptr;
    TGbkLengthValidator *NameLimit = nullptr, *EventLimit = nullptr;
    QComboBox *CboGuiShen = nullptr, *CboDiFen = nullptr, *CboSelJiang = nullptr;
    QPushButton* BtnPai = nullptr;
    QToolButton* SbtoSave = nullptr;
    QPushButton* BtoNewGua = nullptr;
    QToolButton *SbtoNow = nullptr, *SbtoOther = nullptr;
    QPushButton* BtnTopic[5] = {};
};

}  // namespace qd
