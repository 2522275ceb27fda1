// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/castpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/castsession.h"
#include "app/dialogs.h"
#include "app/messages.h"
#include "app/places.h"
#include "app/widgets.h"
#include "base/encoding.h"
#include "base/inifile.h"
#include "base/textclean.h"
#include "engine/ganzhi.h"

namespace qd {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

// Hour item h shows the branch of hour h; odd hours begin the next branch.
int BranchOfHour(int h) { return ((h + 1) / 2 + 1) % 12; }

}  // namespace

TCastPanel::TCastPanel(const QString& appFolder, TCastSession& session, QWidget* parent)
    : QWidget(parent), appFolder_(appFolder), session_(session) {
    setObjectName(QStringLiteral("Panel2"));
    BuildControls();
    ShowSaveKind(false);
}

void TCastPanel::BuildControls() {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(3, 3, 3, 3);
    v->setSpacing(3);

    auto* yearRow = new QHBoxLayout;
    EdtYear = Named(new QLineEdit(QStringLiteral("2004"), this), "EdtYear");
    EdtYear->setMaxLength(4);
    // The year is the panel's one text without a Chinese character, which
    // the Song faces draw in thin smoothed strokes that look grey, as if
    // disabled, beside the crisp glyphs of the lists; drawn unsmoothed it
    // matches them. Only the strategy is set: the rest follows the window.
    QFont crisp;
    crisp.setStyleStrategy(QFont::NoAntialias);
    EdtYear->setFont(crisp);
    UpYear = Named(new TUpDown(0, 300, this), "UpYear");
    UpYear->SetPosition(104);
    yearRow->setSpacing(2);
    EdtYear->setMinimumWidth(40);
    yearRow->addWidget(EdtYear, 1);
    yearRow->addWidget(UpYear);
    yearRow->addWidget(new QLabel(QStringLiteral("年"), this));
    v->addLayout(yearRow);
    connect(UpYear, &TUpDown::clicked, this, &TCastPanel::UpYearClick);

    auto combo = [this, v](QComboBox*& c, const char* name) {
        c = Named(new QComboBox(this), name);
        c->setMaxVisibleItems(16);
        // Narrow enough for the panel; the drop-down list shows the full texts.
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(3);
        v->addWidget(c);
    };
    combo(CboM, "CboM");
    combo(CboD, "CboD");
    combo(CboH, "CboH");
    combo(CboMinute, "CboMinute");

    auto* kindRow = new QHBoxLayout;
    RdoGong = Named(new QRadioButton(QStringLiteral("公历 "), this), "RdoGong");
    RdoNong = Named(new QRadioButton(QStringLiteral("农历 "), this), "RdoNong");
    RdoGong->setChecked(true);
    kindRow->setSpacing(2);
    kindRow->addWidget(RdoGong);
    kindRow->addWidget(RdoNong);
    v->addLayout(kindRow);
    ChkRun = Named(new QCheckBox(QStringLiteral("农历闰月 "), this), "ChkRun");
    v->addWidget(ChkRun);

    combo(CboProv, "CboProv");
    combo(CboCity, "CboCity");
    CboCity->setToolTip(QStringLiteral("选择邻近城市"));
    CboCity->addItem(QStringLiteral("未知地"));
    // A province has up to some hundred places: typing part of a name
    // offers the places that contain it. What is typed only picks a place.
    CboCity->setEditable(true);
    CboCity->setInsertPolicy(QComboBox::NoInsert);
    auto* finder = new QCompleter(CboCity->model(), CboCity);
    finder->setFilterMode(Qt::MatchContains);
    finder->setCaseSensitivity(Qt::CaseInsensitive);
    finder->setCompletionMode(QCompleter::PopupCompletion);
    finder->setMaxVisibleItems(16);
    CboCity->setCompleter(finder);
    connect(CboCity->lineEdit(), &QLineEdit::editingFinished, this, &TCastPanel::CityTyped);
    connect(CboProv, &QComboBox::activated, this, [this] { CboProvClick(); });

    v->addWidget(new QLabel(QStringLiteral("姓名"), this));
    EdtName = Named(new QLineEdit(QStringLiteral("某人"), this), "EdtName");
    // The record fields' byte limits; a character limit would let Chinese
    // text overflow them.
    NameLimit = new TGbkLengthValidator(20, EdtName);
    EdtName->setValidator(NameLimit);
    v->addWidget(EdtName);
    v->addWidget(new QLabel(QStringLiteral("占问事宜"), this));
    EdtEvent = Named(new QLineEdit(QStringLiteral("要问的事情。"), this), "EdtEvent");
    EventLimit = new TGbkLengthValidator(200, EdtEvent);
    EdtEvent->setValidator(EventLimit);
    v->addWidget(EdtEvent);

    v->addWidget(new QLabel(QStringLiteral("起贵神方式"), this));
    combo(CboGuiShen, "CboGuiShen");
    v->addWidget(new QLabel(QStringLiteral("起课数(地分) "), this));
    combo(CboDiFen, "CboDiFen");
    CboDiFen->setEditable(true);
    CboDiFen->setInsertPolicy(QComboBox::NoInsert);
    combo(CboSelJiang, "CboSelJiang");

    BtnPai = Named(new QPushButton(QStringLiteral("起课"), this), "BtnPai");
    BtnPai->setDefault(true);
    v->addWidget(BtnPai);
    connect(BtnPai, &QPushButton::clicked, this, &TCastPanel::BtnPaiClick);

    // Save and new-case buttons sit below the cast button.
    auto* saveRow = new QHBoxLayout;
    saveRow->setSpacing(2);
    SbtoSave = Named(new QToolButton(this), "SbtoSave");
    SbtoSave->setToolTip(QStringLiteral("保存卦例"));
    SbtoSave->setToolButtonStyle(Qt::ToolButtonTextOnly);
    BtoNewGua = Named(new QPushButton(QStringLiteral("新建"), this), "BtoNewGua");
    BtoNewGua->setAutoDefault(false);
    saveRow->addWidget(SbtoSave);
    saveRow->addWidget(BtoNewGua);
    v->addLayout(saveRow);
    connect(SbtoSave, &QToolButton::clicked, this, &TCastPanel::saveRequested);
    connect(BtoNewGua, &QPushButton::clicked, this, &TCastPanel::newCaseRequested);

    auto* tools = new QHBoxLayout;
    SbtoNow = Named(new QToolButton(this), "SbtoNow");
    SbtoNow->setText(QStringLiteral("现在"));
    SbtoNow->setToolTip(QStringLiteral("现在时间"));
    SbtoOther = Named(new QToolButton(this), "SbtoOther");
    SbtoOther->setText(QStringLiteral("日时"));
    SbtoOther->setToolTip(QStringLiteral("日时起课"));
    for (QToolButton* b : {SbtoNow, SbtoOther}) {
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        tools->addWidget(b);
    }
    v->addLayout(tools);
    connect(SbtoNow, &QToolButton::clicked, this, &TCastPanel::SbtoNowClick);
    connect(SbtoOther, &QToolButton::clicked, this, &TCastPanel::SbtoOtherClick);

    auto* topics = new QGridLayout;
    topics->setSpacing(2);
    const char* names[5] = {"财运", "婚姻", "疾病", "求职", "彩票"};
    for (int i = 0; i < 5; ++i) {
        BtnTopic[i] = new QPushButton(QString::fromUtf8(names[i]), this);
        BtnTopic[i]->setAutoDefault(false);
        topics->addWidget(BtnTopic[i], i / 2, i % 2);
        connect(BtnTopic[i], &QPushButton::clicked, this, [this, i] { emit topicRequested(i); });
    }
    v->addLayout(topics);
    v->addStretch();
    // Some styles give buttons and lists a minimum width that would overflow
    // the narrow panel; here they share its width instead.
    for (QWidget* c : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (c == UpYear || qobject_cast<QLabel*>(c)) continue;
        c->setMinimumWidth(1);
        QSizePolicy sp = c->sizePolicy();
        sp.setHorizontalPolicy(QSizePolicy::Ignored);
        c->setSizePolicy(sp);
    }
    for (QWidget* b : {static_cast<QWidget*>(SbtoSave), static_cast<QWidget*>(BtoNewGua)})
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void TCastPanel::FillLists() {
    CboM->clear();
    for (int m = 1; m <= 12; ++m) CboM->addItem(QString::number(m) + QStringLiteral("月"));
    CboD->clear();
    for (int d = 1; d <= 31; ++d) CboD->addItem(QString::number(d) + QStringLiteral("日"));
    CboH->clear();
    for (int h = 0; h < 24; ++h)
        CboH->addItem(QString::number(h) + QStringLiteral("时") +
                      QString::fromUtf8(BranchName(BranchOfHour(h))));
    CboMinute->clear();
    for (int m = 0; m < 60; ++m) CboMinute->addItem(QString::number(m) + QStringLiteral("分"));
    CboGuiShen->clear();
    CboGuiShen->addItems(
        {QStringLiteral("按卯酉时分"), QStringLiteral("起白天贵神"), QStringLiteral("起夜晚贵神")});
    CboDiFen->clear();
    for (int i = 0; i < 12; ++i) {
        const int b = (i + 1) % 12;
        CboDiFen->addItem(QString::fromUtf8(BranchName(b)) + QStringLiteral("、") +
                          QString::fromUtf8(AnimalName(b)));
    }
    CboSelJiang->clear();
    CboSelJiang->addItem(QStringLiteral("月将"));
    for (int i = 0; i < 12; ++i)
        CboSelJiang->addItem(QString::fromUtf8(BranchName((i + 1) % 12)) + QStringLiteral("将"));
    CboProv->clear();
    for (int i = 0; i < kProvinceCount; ++i) CboProv->addItem(QString::fromUtf8(kProvinces[i]));
}

void TCastPanel::ResetSelections() {
    CboSelJiang->setCurrentIndex(0);
    SbtoNowClick();
    CboGuiShen->setCurrentIndex(0);
    CboDiFen->setCurrentIndex(0);
    lon_.assign(1, 120.0f);
    lat_.assign(1, 30.0f);
}

// ---------------------------------------------------------------- places

void TCastPanel::CboProvClick() {
    const int p = CboProv->currentIndex();
    if (p < 0) return;
    lon_.clear();
    lat_.clear();
    CboCity->clear();
    if (p == CboProv->count() - 1) {
        CboCity->addItem(QStringLiteral("未知地"));
        CboCity->setCurrentIndex(0);
        lon_.push_back(120.0f);
        lat_.push_back(30.0f);
        return;
    }
    const CIniFile places(S(appFolder_) + "dat/dili.ini");
    const std::string section = S(CboProv->itemText(p));
    for (const std::string& city : places.Keys(section)) {
        CboCity->addItem(Q(city));
        const std::string v = places.ReadString(section, city, kDefaultCoordinate);
        float lo = 120.0f, la = 30.0f;
        if (!ParseCoordinate(v, &lo, &la)) {
            // A broken value ends the reading of this province, as a failed
            // conversion does; the cities read so far stay.
            ShowBox(window(), QStringLiteral("'%1' 不是有效的整数值").arg(Q(v)), QStringLiteral("错误"),
                    TMsgIcon::Error);
            return;
        }
        lon_.push_back(lo);
        lat_.push_back(la);
    }
    if (CboCity->count() > 0) CboCity->setCurrentIndex(0);
}

void TCastPanel::CityTyped() {
    // A place's full name picks it; else part of a name picks the first place
    // holding it, the one the completion list offers first (Enter after
    // "晋江" means 晋江市). Text that no place holds gives way to the place
    // that stays chosen.
    const QString text = CboCity->currentText().trimmed();
    int typed = CboCity->findText(text, Qt::MatchFixedString);
    if (typed < 0 && !text.isEmpty()) typed = CboCity->findText(text, Qt::MatchContains);
    if (typed >= 0 && typed != CboCity->currentIndex()) CboCity->setCurrentIndex(typed);
    const QString chosen = CboCity->itemText(CboCity->currentIndex());
    if (CboCity->currentText() != chosen) CboCity->setEditText(chosen);
}

float TCastPanel::Longitude(int city) const {
    return city >= 0 && city < int(lon_.size()) ? lon_[city] : 120.0f;
}
float TCastPanel::Latitude(int city) const {
    return city >= 0 && city < int(lat_.size()) ? lat_[city] : 30.0f;
}
int TCastPanel::Province() const { return CboProv->currentIndex(); }
int TCastPanel::City() const { return CboCity->currentIndex(); }

void TCastPanel::SelectPlace(int province, int city) {
    CboProv->setCurrentIndex(province);
    CboProvClick();
    if (CboCity->count() > 0) CboCity->setCurrentIndex(city >= 0 && city < CboCity->count() ? city : 0);
}

// ---------------------------------------------------------------- moment

void TCastPanel::UpYearClick() { EdtYear->setText(QString::number(UpYear->Position() + 1900)); }

void TCastPanel::SetPanelMoment(int year, int month, int day, int hour, int minute) {
    EdtYear->setText(QString::number(year));
    UpYear->SetPosition(year - 1900);
    CboM->setCurrentIndex(month - 1);
    CboD->setCurrentIndex(day - 1);
    CboH->setCurrentIndex(hour);
    CboMinute->setCurrentIndex(minute);
    RdoGong->setChecked(true);
    ChkRun->setChecked(false);
}

void TCastPanel::SbtoNowClick() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    RdoGong->setChecked(true);
    ChkRun->setChecked(false);
    UpYear->SetPosition(d.year() > 2200 ? 300 : d.year() - 1900);
    EdtYear->setText(QString::number(UpYear->Position() + 1900));
    CboM->setCurrentIndex(d.month() - 1);
    CboD->setCurrentIndex(d.day() - 1);
    CboH->setCurrentIndex(t.hour());
    CboMinute->setCurrentIndex(t.minute());
}

void TCastPanel::CastCalendarMoment(const QString& yearText, int monthItem, int dayItem, int hour,
                                    int minute) {
    EdtYear->setText(yearText);
    // The spinner follows the year even when the cast refuses it, so that
    // its next step goes on from the year shown (as near as it can).
    bool ok = false;
    const int year = yearText.trimmed().toInt(&ok);
    if (ok) UpYear->SetPosition(year - 1900);
    CboM->setCurrentIndex(monthItem);
    CboD->setCurrentIndex(dayItem);
    CboH->setCurrentIndex(hour);
    CboMinute->setCurrentIndex(minute);
    RdoGong->setChecked(true);
    RdoNong->setChecked(false);
    ChkRun->setChecked(false);
    BtnPaiClick();
}

TDateTime TCastPanel::Moment() const {
    bool ok = false;
    int year = EdtYear->text().trimmed().toInt(&ok);
    if (!ok) year = 0;
    if (year <= 0) --year;
    return TDateTime{int16_t(year), int16_t(CboM->currentIndex() + 1), int16_t(CboD->currentIndex() + 1),
                     int16_t(CboH->currentIndex()), int16_t(CboMinute->currentIndex())};
}

void TCastPanel::SelectAutomaticGeneral() { CboSelJiang->setCurrentIndex(0); }

void TCastPanel::ShowRequest(const TCastRequest& q) {
    EdtName->setText(Q(ReadGbkField(q.name)));
    EdtEvent->setText(Q(ReadGbkField(q.question)));
    UpYear->SetPosition(q.year - 1900);
    EdtYear->setText(QString::number(UpYear->Position() + 1900));
    CboM->setCurrentIndex(q.month - 1);
    CboD->setCurrentIndex(q.day - 1);
    CboH->setCurrentIndex(q.hour);
    CboMinute->setCurrentIndex(q.minute);
    (q.lunar ? RdoNong : RdoGong)->setChecked(true);
    ChkRun->setChecked(q.leap != 0);
    CboGuiShen->setCurrentIndex(q.noble);
    CboSelJiang->setCurrentIndex(q.general);
    CboDiFen->setCurrentIndex(q.earth == 0 ? 11 : q.earth - 1);
    CboProv->setCurrentIndex(q.province);
    CboProvClick();
    CboCity->setCurrentIndex(CboCity->count() > q.city ? q.city : 0);
}

void TCastPanel::ShowSaveKind(bool stored) {
    SbtoSave->setText(stored ? QStringLiteral("存旧") : QStringLiteral("存新"));
    // Only the text colour is the button's own; a skin that left its colours
    // in the button's palette loses them here.
    QPalette p;
    p.setColor(QPalette::ButtonText, stored ? QColor(0, 0, 255) : QColor(Qt::black));
    SbtoSave->setPalette(p);
    // A skin overrides the palette; it colours the button by this property
    // instead (a style sheet of the button's own would change its box).
    SbtoSave->setProperty("stored", stored);
    SbtoSave->style()->unpolish(SbtoSave);
    SbtoSave->style()->polish(SbtoSave);
}

void TCastPanel::RefreshSaveKind() { ShowSaveKind(SbtoSave->property("stored").toBool()); }

// ---------------------------------------------------------------- casting

void TCastPanel::BtnPaiClick() {
    session_.record.request.direct = 0;
    ReadPanelAndCast();
}

void TCastPanel::ReadPanelAndCast() {
    QWidget* const w = window();
    session_.shown = false;
    // Text the field had to cut on input was too long as well.
    const bool nameCut = NameLimit->TakeCut();
    const bool eventCut = EventLimit->TakeCut();
    std::string name = S(EdtName->text().trimmed());
    if (CleanText(name, 10) || nameCut) {
        Notice(w,
               QStringLiteral("姓名中包含：\"、*、<、>、?、\\、/、|、'、：等字符。已经处理为合适的文本！"));
        EdtName->setText(Q(name));
    }
    std::string question = S(EdtEvent->text().trimmed());
    if (CleanText(question, 100) || eventCut) {
        Notice(w, QStringLiteral(
                      "占问事宜中包含：\"、*、<、>、?、\\、/、|、'、：等字符。已经处理为合适的文本！"));
        EdtEvent->setText(Q(question));
    }
    bool ok = false;
    int year = EdtYear->text().trimmed().toInt(&ok);
    if (!ok) year = 0;
    if (year < 1900 || year > 2200) {
        ShowBox(w, QStringLiteral("年份最大范围1900 - 2200"), QStringLiteral("年份错误"), TMsgIcon::Warning);
        EdtYear->setFocus();
        return;
    }
    TCastRequest& r = session_.record.request;
    r.year = int16_t(year);
    UpYear->SetPosition(year - 1900);
    r.month = int16_t(CboM->currentIndex() + 1);
    r.day = int16_t(CboD->currentIndex() + 1);
    r.hour = int16_t(CboH->currentIndex());
    r.minute = int16_t(CboMinute->currentIndex());
    r.lunar = RdoNong->isChecked() ? 1 : 0;
    r.leap = ChkRun->isChecked() ? 1 : 0;
    r.noble = uint8_t(std::max(0, CboGuiShen->currentIndex()));
    r.general = uint8_t(std::max(0, CboSelJiang->currentIndex()));

    const int n = CboDiFen->currentText().trimmed().toInt(&ok);
    const int e = (ok && n > 0) ? n - 1 : std::max(0, CboDiFen->currentIndex());
    r.earth = uint8_t((e + 1) % 12);

    CityTyped();
    r.province = int16_t(CboProv->currentIndex());
    r.city = int16_t(CboCity->currentIndex());
    // A province without cities has no selection: the request takes the
    // default place, 120° east and 30° north.
    r.longitude = Longitude(r.city);
    r.latitude = Latitude(r.city);

    WriteGbkField(r.name, name);
    WriteGbkField(r.question, question);
    r.filled = 1;
    if (CboProv->currentIndex() != CboProv->count() - 1)
        WriteGbkField(r.place, S(CboProv->currentText() + CboCity->itemText(CboCity->currentIndex())));
    else
        WriteGbkField(r.place, "未知地");

    if (CastRecord(session_, w)) emit castSucceeded();
}

void TCastPanel::StepAndCast(TStep step) {
    if (!session_.shown || !session_.engine) {
        ShowBox(window(), QStringLiteral("请先排一个正确的盘！"), QStringLiteral("先排盘"),
                TMsgIcon::Information);
        return;
    }
    double jd = 0;
    session_.engine->ClockMoment(&jd);
    const bool back = step == TStep::PreviousDay || step == TStep::PreviousDoubleHour;
    const bool byDay = step == TStep::PreviousDay || step == TStep::NextDay;
    jd += (back ? -1.0 : 1.0) / (byDay ? 1.0 : 12.0);
    // Five seconds on, so that rounding back to the minute keeps the minute.
    jd += 0.00005787037037037037;
    const TDateTime t = session_.engine->RecordOfJulianDay(jd);
    SetPanelMoment(t.year, t.month, t.day, t.hour, t.minute);
    RdoNong->setChecked(false);
    BtnPaiClick();
}

void TCastPanel::SbtoOtherClick() {
    TFrmOtherQi dlg(session_.record.request, window());
    if (dlg.exec() != QDialog::Accepted) return;
    CboSelJiang->setCurrentIndex(0);
    ReadPanelAndCast();
}

}  // namespace qd
