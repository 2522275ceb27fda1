// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/dialogs.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/help_pages.h"
#include "app/messages.h"
#include "app/places.h"
#include "app/winconfig.h"
#include "engine/direct.h"

namespace qd {

static QString Q(const std::string& s) { return QString::fromStdString(s); }
static std::string S(const QString& s) { return s.toStdString(); }

static QButtonGroup* RadioGroup(QWidget* owner, QVBoxLayout* into, const QString& title,
                                std::initializer_list<const char*> items) {
    auto* box = new QGroupBox(title, owner);
    auto* lay = new QHBoxLayout(box);
    auto* group = new QButtonGroup(owner);
    int id = 0;
    for (const char* it : items) {
        auto* r = new QRadioButton(QString::fromUtf8(it), box);
        group->addButton(r, id++);
        lay->addWidget(r);
    }
    into->addWidget(box);
    return group;
}

static void Check(QButtonGroup* g, int id) {
    if (QAbstractButton* b = g->button(id)) b->setChecked(true);
}

// ---------------------------------------------------------------- TFrmSet

TFrmSet::TFrmSet(const QString& appFolder, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("排盘设置"));
    auto* lay = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    CboSelDate = new QComboBox(this);
    CboSelDate->addItems({QStringLiteral("北京时间"), QStringLiteral("真太阳时"), QStringLiteral("地方时")});
    form->addRow(QStringLiteral("使用时间"), CboSelDate);
    LedtLeftPos = new QLineEdit(this);
    LedtLeftPos->setMaxLength(3);
    form->addRow(QStringLiteral("文本左边距离"), LedtLeftPos);
    lay->addLayout(form);
    RdoYueJiang = RadioGroup(this, lay, QStringLiteral("月将起法"), {"按中气起", "按节入起"});
    RGrpGui = RadioGroup(this, lay, QStringLiteral("贵人"), {"甲戊庚牛羊", "甲羊戊庚牛"});
    RGrpWang = RadioGroup(this, lay, QStringLiteral("旺衰定法"), {"多寡、生克", "四时节气"});
    BuildAutoBackupRow(lay, appFolder);
    auto* buttons = new QHBoxLayout;
    BtnSet = new QPushButton(QStringLiteral("设置"), this);
    BtnCancel = new QPushButton(QStringLiteral("取消"), this);
    BtnSet->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(BtnSet);
    buttons->addWidget(BtnCancel);
    lay->addLayout(buttons);
    connect(BtnSet, &QPushButton::clicked, this, &TFrmSet::BtnSetClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(sizeHint());

    ini_ = std::make_unique<CIniFile>(S(appFolder) + "dat/set.ini");
    LedtLeftPos->setText(QString::number(ini_->ReadInteger("set", "leftpos", 0)));
    CboSelDate->setCurrentIndex(std::clamp(ini_->ReadInteger("set", "idate", 0), 0, 2));
    Check(RdoYueJiang, ini_->ReadInteger("set", "iYueJiang", 1));
    Check(RGrpGui, ini_->ReadInteger("set", "iGui", 0));
    Check(RGrpWang, ini_->ReadInteger("set", "iWang", 0));
}

TFrmSet::~TFrmSet() = default;

void TFrmSet::BuildAutoBackupRow(QLayout* into, const QString& appFolder) {
    auto* box = new QGroupBox(QStringLiteral("自动备份"), this);
    auto* row = new QHBoxLayout(box);
    row->addWidget(new QLabel(QStringLiteral("保留最新的"), box));
    LedtAutoBackup = new QLineEdit(box);
    LedtAutoBackup->setObjectName(QStringLiteral("LedtAutoBackup"));
    LedtAutoBackup->setMaxLength(2);
    LedtAutoBackup->setFixedWidth(LedtAutoBackup->fontMetrics().horizontalAdvance(QStringLiteral("000")) +
                                  12);
    row->addWidget(LedtAutoBackup);
    row->addWidget(new QLabel(QStringLiteral("份（0为不备份）"), box));
    row->addStretch();
    box->setToolTip(QStringLiteral("关闭软件时每天备份一次案例数据，保存在程序文件夹的backups中"));
    into->addWidget(box);
    winIni_ = std::make_unique<CIniFile>(S(appFolder) + "dat/qdlinit.ini");
    LedtAutoBackup->setText(QString::number(ReadAutoBackupKeep(*winIni_)));
}

void TFrmSet::BtnSetClick() {
    const int left = IntOrDefault(S(LedtLeftPos->text()), -1);
    if (left < 0 || left > 500) {
        ShowBox(this, QStringLiteral("文本左边距离在0-500之间"), QStringLiteral("输入错误"), TMsgIcon::Error);
        LedtLeftPos->setFocus();
        return;
    }
    const int keep = IntOrDefault(S(LedtAutoBackup->text()), -1);
    if (keep < 0 || keep > kAutoBackupKeepMax) {
        ShowBox(this, QStringLiteral("自动备份份数在0-%1之间").arg(kAutoBackupKeepMax),
                QStringLiteral("输入错误"), TMsgIcon::Error);
        LedtAutoBackup->setFocus();
        return;
    }
    ini_->WriteInteger("set", "leftpos", left);
    ini_->WriteInteger("set", "idate", CboSelDate->currentIndex());
    ini_->WriteInteger("set", "iYueJiang", std::max(0, RdoYueJiang->checkedId()));
    ini_->WriteInteger("set", "iGui", std::max(0, RGrpGui->checkedId()));
    ini_->WriteInteger("set", "iWang", std::max(0, RGrpWang->checkedId()));
    WriteAutoBackupKeep(*winIni_, keep);
    accept();
}

// ---------------------------------------------------------------- TFrmDiLi

static QLineEdit* Labelled(QWidget* owner, QFormLayout* form, const QString& label, int maxLen,
                           const QString& text) {
    auto* e = new QLineEdit(text, owner);
    e->setMaxLength(maxLen);
    form->addRow(label, e);
    return e;
}

TFrmDiLi::TFrmDiLi(const QString& appFolder, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("经纬度设置"));
    auto* lay = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    CboSheng = new QComboBox(this);
    CboShi = new QComboBox(this);
    form->addRow(QStringLiteral("省份"), CboSheng);
    form->addRow(QStringLiteral("市县"), CboShi);
    LedtJingDu = Labelled(this, form, QStringLiteral("经度"), 3, QStringLiteral("120"));
    LedtJingFen = Labelled(this, form, QStringLiteral("经分"), 2, QString());
    LedtWeiDu = Labelled(this, form, QStringLiteral("纬度"), 2, QString());
    LedtWeiFen = Labelled(this, form, QStringLiteral("纬分"), 2, QString());
    LedtShiName = Labelled(this, form, QStringLiteral("新市或县名"), 10, QStringLiteral("市县名"));
    lay->addLayout(form);
    auto* buttons = new QHBoxLayout;
    BtoEdit = new QPushButton(QStringLiteral("修改"), this);
    BtoAdd = new QPushButton(QStringLiteral("增加"), this);
    BtoDel = new QPushButton(QStringLiteral("删除"), this);
    for (QPushButton* b : {BtoEdit, BtoAdd, BtoDel}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    lay->addLayout(buttons);
    connect(BtoEdit, &QPushButton::clicked, this, &TFrmDiLi::BtoEditClick);
    connect(BtoAdd, &QPushButton::clicked, this, &TFrmDiLi::BtoAddClick);
    connect(BtoDel, &QPushButton::clicked, this, &TFrmDiLi::BtoDelClick);

    // FormCreate
    ini_ = std::make_unique<CIniFile>(S(appFolder) + "dat/dili.ini");
    for (int i = 0; i < kProvinceCount - 1; ++i) CboSheng->addItem(QString::fromUtf8(kProvinces[i]));
    CboSheng->setCurrentIndex(0);
    CboShengClick();
    connect(CboSheng, &QComboBox::activated, this, [this] { CboShengClick(); });
    connect(CboShi, &QComboBox::activated, this, [this] { CboShiClick(); });
}

TFrmDiLi::~TFrmDiLi() = default;

void TFrmDiLi::CboShengClick() {
    CboShi->clear();
    for (const std::string& k : ini_->Keys(S(CboSheng->currentText()))) CboShi->addItem(Q(k));
    if (CboShi->count() > 0) {
        CboShi->setCurrentIndex(0);
        CboShiClick();
    }
}

void TFrmDiLi::CboShiClick() {
    if (CboShi->currentIndex() < 0) return;
    const std::string v =
        ini_->ReadString(S(CboSheng->currentText()), S(CboShi->currentText()), kDefaultCoordinate);
    const TCoordinateText t = SplitCoordinate(v);
    LedtJingDu->setText(Q(t.lonDeg));
    LedtJingFen->setText(Q(t.lonMin));
    LedtWeiDu->setText(Q(t.latDeg));
    LedtWeiFen->setText(Q(t.latMin));
}

bool TFrmDiLi::WriteCity(const std::string& city) {
    const int jd = IntOrDefault(S(LedtJingDu->text()), -300);
    const int jf = IntOrDefault(S(LedtJingFen->text()), -1);
    if (jd < -179 || jd > 179 || jf < 0 || jf > 59) {
        ShowBox(this, QStringLiteral("经度在-180到180之间，分数在0-60之间"), QStringLiteral("输入错误"),
                TMsgIcon::Error);
        return false;
    }
    const int wd = IntOrDefault(S(LedtWeiDu->text()), -300);
    const int wf = IntOrDefault(S(LedtWeiFen->text()), -1);
    if (wd < -89 || wd > 89 || wf < 0 || wf > 59) {
        ShowBox(this, QStringLiteral("纬度在-90到90之间，分数在0-60之间"), QStringLiteral("输入错误"),
                TMsgIcon::Error);
        return false;
    }
    ini_->WriteString(S(CboSheng->currentText()), city, FormatCoordinate(jd, jf, wd, wf));
    return true;
}

void TFrmDiLi::BtoEditClick() {
    if (CboShi->currentIndex() < 0) return;
    if (WriteCity(S(CboShi->currentText()))) Notice(this, QStringLiteral("完成"));
}

void TFrmDiLi::BtoAddClick() {
    const QString name = LedtShiName->text();
    if (name.isEmpty()) return;
    const bool exists = ini_->KeyExists(S(CboSheng->currentText()), S(name));
    if (exists && !AskYes(this, QStringLiteral("已有这个地方的地理数据，要覆盖吗？"), QStringLiteral("注意"),
                          TMsgIcon::Warning))
        return;
    if (!WriteCity(S(name))) return;
    if (!exists) CboShi->addItem(name);
    Notice(this, QStringLiteral("完成"));
}

void TFrmDiLi::BtoDelClick() {
    const int i = CboShi->currentIndex();
    if (i < 0) return;
    const QString q = QStringLiteral("确定要删除\"") + CboSheng->currentText() + CboShi->currentText() +
                      QStringLiteral("\"吗？");
    if (!AskYes(this, q, QStringLiteral("注意"), TMsgIcon::Warning)) return;
    ini_->DeleteKey(S(CboSheng->currentText()), S(CboShi->currentText()));
    CboShi->removeItem(i);
    Notice(this, QStringLiteral("完成"));
}

// ---------------------------------------------------------------- TFrmOtherQi

TFrmOtherQi::TFrmOtherQi(TCastRequest& request, QWidget* parent) : QDialog(parent), request_(request) {
    setWindowTitle(QStringLiteral("日时起课法"));
    auto* lay = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    auto* form = new QFormLayout(page);
    CboYueJiang = new QComboBox(page);
    CboRi = new QComboBox(page);
    CboShi = new QComboBox(page);
    CboDiFen = new QComboBox(page);
    form->addRow(QStringLiteral("月将"), CboYueJiang);
    form->addRow(QStringLiteral("占日"), CboRi);
    form->addRow(QStringLiteral("占时"), CboShi);
    form->addRow(QStringLiteral("地分"), CboDiFen);
    tabs->addTab(page, QStringLiteral("日、时起课"));
    lay->addWidget(tabs);
    auto* buttons = new QHBoxLayout;
    BtnOk = new QPushButton(QStringLiteral("起课"), this);
    BtnCancel = new QPushButton(QStringLiteral("取消"), this);
    BtnOk->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    lay->addLayout(buttons);
    connect(BtnOk, &QPushButton::clicked, this, &TFrmOtherQi::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    // FormCreate
    for (int k = 0; k < kDirectGeneralItemCount; ++k) CboYueJiang->addItem(Q(DirectGeneralItemText(k)));
    for (int k = 0; k < kDirectDayItemCount; ++k) CboRi->addItem(Q(DirectDayItemText(k)));
    for (int k = 0; k < 12; ++k) {
        CboShi->addItem(Q(DirectHourItemText(k)));
        CboDiFen->addItem(Q(DirectEarthItemText(k)));
    }
    CboRi->setMaxVisibleItems(21);
    CboYueJiang->setCurrentIndex(std::clamp(int(request_.directGeneral), 0, kDirectGeneralItemCount - 1));
    CboRi->setCurrentIndex(std::clamp(int(request_.directDay), 0, kDirectDayItemCount - 1));
    CboShi->setCurrentIndex((request_.directHour + 11) % 12);
    CboDiFen->setCurrentIndex((request_.directEarth + 11) % 12);
}

void TFrmOtherQi::BtnOkClick() {
    std::string message;
    if (!FillDirectFields(request_, CboYueJiang->currentIndex(), CboRi->currentIndex(),
                          CboShi->currentIndex(), CboDiFen->currentIndex(), message)) {
        Notice(this, Q(message));
        return;
    }
    accept();
}

// ---------------------------------------------------------------- TFrmHelp

TFrmHelp::TFrmHelp(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("软件帮助"));
    resize(720, 480);
    auto* lay = new QHBoxLayout(this);
    auto* list = new QListWidget(this);
    auto* page = new QTextBrowser(this);
    list->setFixedWidth(150);
    for (int i = 0; i < kHelpPageCount; ++i) list->addItem(QString::fromUtf8(kHelpPages[i].title));
    lay->addWidget(list);
    lay->addWidget(page, 1);
    connect(list, &QListWidget::currentRowChanged, page, [page](int row) {
        if (row >= 0 && row < kHelpPageCount) page->setHtml(QString::fromUtf8(kHelpPages[row].html));
    });
    list->setCurrentRow(0);
}

}  // namespace qd
