// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/frmwnl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/frmmain.h"
#include "app/messages.h"
#include "app/widgets.h"
#include "calendar/eras.h"
#include "engine/ganzhi.h"

namespace qd {

namespace {

const QColor kBackground(255, 255, 200);
constexpr int kImgWidth = 450, kImgHeight = 330;
constexpr int kMinYear = -4713, kMaxYear = 9999;

// The user's years have no year 0: -1 is the year before 1.
int InternalYear(int shown) { return shown < 0 ? shown + 1 : shown; }
int ShownYear(int internal) { return internal <= 0 ? internal - 1 : internal; }

QString Q(const std::string& s) { return QString::fromStdString(s); }

bool IsReformMonth(const TDateTime& r) { return r.year == 1582 && r.month == 10; }

// Days of the record's month, 21 for the reform month.
int MonthLength(const TDateTime& r) {
    TDateTime a{r.year, r.month, 1, 12, 0};
    TDateTime b = a;
    if (b.month == 12) {
        b.month = 1;
        ++b.year;
    } else {
        ++b.month;
    }
    return FloorInt(JulianDayOfRecord(b) - JulianDayOfRecord(a));
}

}  // namespace

MYiDateEx& WnlCalendar() {
    static MYiDateEx calendar;
    return calendar;
}

const obb_class& WnlEras() {
    static const obb_class eras;
    return eras;
}

// ---------------------------------------------------------------- image

TWnlImage::TWnlImage(QWidget* parent)
    : QWidget(parent), Picture(kImgWidth, kImgHeight, QImage::Format_RGB32) {
    Picture.fill(kBackground);
    setFixedSize(kImgWidth, kImgHeight);
}

void TWnlImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Picture);
}

void TWnlImage::mousePressEvent(QMouseEvent* e) {
    if (OnMouseDown) OnMouseDown(int(e->position().x()), int(e->position().y()), e->button());
}

// ---------------------------------------------------------------- window

TFrmWnl::TFrmWnl(TFrmMain* main, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), main_(main) {
    setWindowTitle(QStringLiteral("澜川万年历"));
    // Closing forgets the window; the next 万年历 command builds a new one.
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    setPalette(pal);

    for (TSolarTermEntry& t : monthTerms_) t.when.day = -100;

    BitBtn2 = new QToolButton(this);
    BitBtn2->setArrowType(Qt::LeftArrow);
    BitBtn2->setToolTip(QStringLiteral("上一月"));
    BitBtn1 = new QToolButton(this);
    BitBtn1->setArrowType(Qt::RightArrow);
    BitBtn1->setToolTip(QStringLiteral("下一月"));
    BtoNow = new QToolButton(this);
    BtoNow->setText(QStringLiteral("今"));
    BtoNow->setToolTip(QStringLiteral("当前时间"));
    LabShow = new QLabel(this);
    LabShow->setAlignment(Qt::AlignCenter);
    QFont big = LabShow->font();
    big.setPointSize(14);
    big.setBold(true);
    LabShow->setFont(big);
    LabShow->setMinimumWidth(140);

    EdtYear = new QLineEdit(this);
    EdtYear->setMaxLength(5);
    EdtYear->setFixedWidth(56);
    UpYear = new TUpDown(-4712, 9999, this);
    auto combo = [this](QComboBox*& c, int from, int to, const QString& unit) {
        c = new QComboBox(this);
        c->setMaxVisibleItems(16);
        for (int i = from; i <= to; ++i) c->addItem(QString::number(i) + unit);
    };
    combo(CboM, 1, 12, QStringLiteral("月"));
    combo(CboD, 1, 31, QStringLiteral("日"));
    combo(CboH, 0, 23, QStringLiteral("时"));
    combo(CboMinute, 0, 59, QStringLiteral("分"));

    Img = new TWnlImage(this);
    Img->OnMouseDown = [this](int x, int y, Qt::MouseButton b) { ImgMouseDown(x, y, b); };

    auto memo = [this](QPlainTextEdit*& m, const QColor& color) {
        m = new QPlainTextEdit(this);
        m->setReadOnly(true);
        m->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        QPalette p = m->palette();
        p.setColor(QPalette::Text, color);
        m->setPalette(p);
    };
    memo(MeoTitle, Qt::black);
    memo(MeoJie, Qt::red);
    memo(MeoGanZhi, Qt::blue);
    // Four lines: in the 南北朝 a year carries up to six parallel records.
    MeoTitle->setFixedHeight(4 * MeoTitle->fontMetrics().lineSpacing() +
                             2 * (MeoTitle->frameWidth() + int(MeoTitle->document()->documentMargin())));
    // Three terms and four pillars always fit; no scroll bars to crowd them.
    MeoJie->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MeoGanZhi->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MeoJie->setFixedWidth(150);
    MeoGanZhi->setFixedWidth(150);
    QFont pillarFont = MeoGanZhi->font();
    pillarFont.setPointSize(12);
    MeoGanZhi->setFont(pillarFont);
    BtnPai = new QPushButton(QStringLiteral("排盘"), this);

    auto* top = new QHBoxLayout;
    top->addWidget(BitBtn2);
    top->addWidget(LabShow);
    top->addWidget(BitBtn1);
    top->addSpacing(8);
    top->addWidget(EdtYear);
    top->addWidget(UpYear);
    top->addWidget(new QLabel(QStringLiteral("年"), this));
    top->addWidget(CboM);
    top->addWidget(CboD);
    top->addWidget(CboH);
    top->addWidget(CboMinute);
    top->addWidget(BtoNow);
    top->addStretch(1);

    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("本月节气"), this));
    side->addWidget(MeoJie, 1);
    side->addWidget(new QLabel(QStringLiteral("四柱"), this));
    side->addWidget(MeoGanZhi, 1);
    side->addWidget(BtnPai);

    auto* body = new QHBoxLayout;
    body->addWidget(Img, 0, Qt::AlignTop);
    body->addLayout(side);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(6, 6, 6, 6);
    v->addLayout(top);
    v->addWidget(MeoTitle);
    v->addLayout(body);

    connect(BitBtn2, &QToolButton::clicked, this, &TFrmWnl::BitBtn2Click);
    connect(BitBtn1, &QToolButton::clicked, this, &TFrmWnl::BitBtn1Click);
    connect(BtoNow, &QToolButton::clicked, this, &TFrmWnl::BtoNowClick);
    connect(UpYear, &TUpDown::clicked, this, &TFrmWnl::UpYearClick);
    connect(EdtYear, &QLineEdit::returnPressed, this, &TFrmWnl::EdtYearKeyPress);
    // User choices only: the handlers set the boxes themselves and redraw once.
    connect(CboM, &QComboBox::activated, this, &TFrmWnl::CboMChange);
    connect(CboD, &QComboBox::activated, this, &TFrmWnl::CboDChange);
    connect(CboH, &QComboBox::activated, this, &TFrmWnl::CboHChange);
    connect(CboMinute, &QComboBox::activated, this, &TFrmWnl::CboMinuteChange);
    connect(BtnPai, &QPushButton::clicked, this, &TFrmWnl::BtnPaiClick);

    adjustSize();
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect r = s->availableGeometry();
        move(r.center() - QPoint(width() / 2, height() / 2));
    }
}

int TFrmWnl::ShownYearOrDefault(int fallback) const {
    bool ok = false;
    const int y = EdtYear->text().trimmed().toInt(&ok);
    return ok ? y : fallback;
}

void TFrmWnl::SetShownYear(int shown) {
    EdtYear->setText(QString::number(shown));
    UpYear->SetPosition(InternalYear(shown));
}

void TFrmWnl::Open(const TDateTime& r) {
    SetShownYear(ShownYear(r.year));
    CboM->setCurrentIndex(r.month - 1);
    CboD->setCurrentIndex(WnlCalendar().IsValidDate(r) ? r.day - 1 : 14);
    CboH->setCurrentIndex(r.hour);
    CboMinute->setCurrentIndex(r.minute);
    gridFont_ = QStringLiteral("宋体");
    LoadYearTerms();
    Redraw();
}

void TFrmWnl::LoadYearTerms() {
    yearTerms_ = WnlCalendar().SolarTermsOfYear(InternalYear(ShownYearOrDefault(1900)));
}

void TFrmWnl::Redraw() {
    const int y = ShownYearOrDefault(0);
    if (y == 0 || y < kMinYear || y > kMaxYear) {
        ShowBox(this, QStringLiteral("年份在-4713 到 9999年之间，并且没有公元0年"),
                QStringLiteral("年份不对"), TMsgIcon::Error);
        return;
    }
    MYiDateEx& cal = WnlCalendar();
    const TDateTime sel{int16_t(InternalYear(y)), int16_t(CboM->currentIndex() + 1),
                        int16_t(CboD->currentIndex() + 1), int16_t(CboH->currentIndex()),
                        int16_t(CboMinute->currentIndex())};
    const int n = cal.IsValidDate(sel) ? MonthLength(sel) : 0;
    if (n == 0) {
        ShowBox(this, QStringLiteral("不存在这个日期，请重新输入！"), QStringLiteral("日期不对"),
                TMsgIcon::Information);
        return;
    }
    selected_ = sel;
    days_ = int16_t(n);
    UpYear->SetPosition(sel.year);

    QImage& img = Img->Picture;
    const int w = img.width() / 7, h = img.height() / 7;
    img.fill(kBackground);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(Qt::black);
    for (int i = 1; i <= 6; ++i) {
        p.drawLine(0, i * h, img.width(), i * h);
        p.drawLine(i * w, 0, i * w, img.height());
    }
    QFont font(gridFont_.isEmpty() ? QStringLiteral("宋体") : gridFont_);
    auto setSize = [&](int pt) {
        font.setPointSize(pt);
        p.setFont(font);
    };

    static const char* const kWeek[7] = {"一", "二", "三", "四", "五", "六", "日"};
    setSize(13);
    for (int c = 0; c < 7; ++c) {
        p.setPen(c < 5 ? QColor(0, 128, 0) : QColor(Qt::red));
        p.drawText(QRect(c * w, 0, w, h), Qt::AlignCenter,
                   QStringLiteral("星期") + QString::fromUtf8(kWeek[c]));
    }

    // The month's terms; unused entries carry day -100 so no day matches.
    for (TSolarTermEntry& t : monthTerms_) t = TSolarTermEntry{TDateTime{0, 0, -100, 0, 0}, 0};
    QString jie;
    int found = 0;
    for (size_t i = 0; i < yearTerms_.size() && i < 30 && found < 3; ++i) {
        const TSolarTermEntry& t = yearTerms_[i];
        if (t.when.year == -5000) break;
        if (t.when.month != sel.month) continue;
        monthTerms_[found++] = t;
        jie += QStringLiteral("%1:%2日%3时%4分\r\n\r\n")
                   .arg(QString::fromUtf8(kSolarTermNames[t.index]))
                   .arg(t.when.day)
                   .arg(t.when.hour)
                   .arg(t.when.minute);
    }
    // The box shows the lines; the carriage returns are not text here.
    MeoJie->setPlainText(jie.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    firstColumn_ = int16_t((cal.WeekDay(TDateTime{sel.year, sel.month, 1, 12, 0}) + 6) % 7);
    const bool reform = IsReformMonth(sel);
    upper_.assign(n, QString());
    lower_.assign(n, QString());
    for (int j = 1; j <= n; ++j) {
        const int day = (reform && j > 4) ? j + 10 : j;
        const int cell = firstColumn_ + j - 1;
        const int col = cell % 7, row = cell / 7 + 1;
        const QRect box(col * w, row * h, w, h);

        QString upper = j == 1 ? QStringLiteral("%1月").arg(sel.month) : QString::number(day);
        const TSolarTermEntry* term = nullptr;
        for (const TSolarTermEntry& t : monthTerms_)
            if (t.when.day == day) term = &t;
        const QColor color = term ? QColor(Qt::red) : QColor(Qt::blue);
        if (term) upper += QStringLiteral(" ") + QString::fromUtf8(kSolarTermNames[term->index]);
        p.setPen(color);
        setSize(term ? 10 : 14);
        p.drawText(QRect(box.left(), box.top(), w, h / 2), Qt::AlignCenter, upper);

        int monthLength = 0;
        const bool leap =
            cal.LunarOfSolar(TDateTime{sel.year, sel.month, int16_t(day), 12, 0}, lunar_, monthLength);
        const QString lower = Q(cal.LunarMonthText(lunar_.month, leap) + cal.LunarDayText(lunar_.day));
        setSize(lower.size() > 5 ? 8 : 9);
        p.drawText(QRect(box.left(), box.top() + h / 2, w, h - h / 2), Qt::AlignCenter, lower);
        upper_[j - 1] = upper;
        lower_[j - 1] = lower;

        if (day == sel.day) {
            p.setPen(QPen(Qt::red, 3));
            p.setBrush(Qt::NoBrush);
            p.drawRect(box.adjusted(1, 1, -1, -1));
        }
    }
    p.end();
    Img->update();
    ShowPillarsAndTitle();
}

void TFrmWnl::ShowPillarsAndTitle() {
    MYiDateEx& cal = WnlCalendar();
    LabShow->setText(QStringLiteral("%1年%2月").arg(ShownYear(selected_.year)).arg(selected_.month));

    const TPillars pl = cal.Pillars(selected_);
    const TDateTime spring = cal.SolarTermInstant(selected_.year, 2, MonthTerm::Jie);
    int springYear = selected_.year;
    if (cal.JulianDayOfRecord(selected_) < cal.JulianDayOfRecord(spring)) --springYear;
    MeoTitle->setPlainText(
        Q(WnlEras().EraNames(springYear)) +
        QStringLiteral("  【%1年】").arg(QString::fromUtf8(AnimalName(BranchOf(pl.year)))));

    auto pillar = [](int cycle, const char* unit) {
        return QString::fromUtf8(StemName(StemOf(cycle))) + QString::fromUtf8(BranchName(BranchOf(cycle))) +
               QString::fromUtf8(unit);
    };
    MeoGanZhi->setPlainText(pillar(pl.year, "年") + "\n" + pillar(pl.month, "月") + "\n" +
                            pillar(pl.day, "日") + "\n" + pillar(pl.hour, "时"));
}

QString TFrmWnl::CellText(int cell, bool lower) const {
    const int j = cell - firstColumn_;
    if (j < 0 || j >= int(upper_.size())) return QString();
    return lower ? lower_[j] : upper_[j];
}

void TFrmWnl::UpYearClick() {
    EdtYear->setText(QString::number(ShownYear(UpYear->Position())));
    LoadYearTerms();
    Redraw();
}

void TFrmWnl::EdtYearKeyPress() {
    bool ok = false;
    const int y = EdtYear->text().trimmed().toInt(&ok);
    if (ok && y != 0 && y >= kMinYear && y <= kMaxYear) {
        LoadYearTerms();
        Redraw();
        return;
    }
    ShowBox(this, QStringLiteral("年份在-4713 到 9999之间"), QStringLiteral("错误"), TMsgIcon::Error);
    EdtYear->setFocus();
}

void TFrmWnl::BtoNowClick() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    if (d.year() < kMinYear || d.year() > kMaxYear) return;
    SetShownYear(d.year());
    CboM->setCurrentIndex(d.month() - 1);
    CboD->setCurrentIndex(d.day() - 1);
    CboH->setCurrentIndex(t.hour());
    CboMinute->setCurrentIndex(t.minute());
    LoadYearTerms();
    Redraw();
}

void TFrmWnl::ImgMouseDown(int x, int y, Qt::MouseButton button) {
    if (button != Qt::LeftButton) return;
    const int w = Img->Picture.width() / 7, h = Img->Picture.height() / 7;
    const int cell = (y / h) * 7 + x / w - 7;
    if (cell < firstColumn_ || cell >= firstColumn_ + days_) return;
    int index = cell - firstColumn_;
    if (IsReformMonth(selected_) && index >= 4) index += 10;
    CboD->setCurrentIndex(index);
    Redraw();
}

void TFrmWnl::BitBtn2Click() {
    int y = ShownYearOrDefault(1900);
    const int m = CboM->currentIndex();
    if (y == kMinYear && m == 0) return;
    if (m == 0) {
        y = y - 1 == 0 ? -1 : y - 1;
        SetShownYear(y);
        LoadYearTerms();
        CboM->setCurrentIndex(11);
    } else {
        CboM->setCurrentIndex(m - 1);
    }
    CboD->setCurrentIndex(0);
    Redraw();
}

void TFrmWnl::BitBtn1Click() {
    int y = ShownYearOrDefault(1900);
    const int m = CboM->currentIndex();
    if (y == kMaxYear && m == 11) return;
    if (m == 11) {
        y = y + 1 == 0 ? 1 : y + 1;
        SetShownYear(y);
        LoadYearTerms();
        CboM->setCurrentIndex(0);
    } else {
        CboM->setCurrentIndex(m + 1);
    }
    CboD->setCurrentIndex(0);
    Redraw();
}

void TFrmWnl::BtnPaiClick() {
    hide();
    if (!main_) return;
    main_->Panel().CastCalendarMoment(EdtYear->text(), CboM->currentIndex(), CboD->currentIndex(),
                                      CboH->currentIndex(), CboMinute->currentIndex());
}

}  // namespace qd
