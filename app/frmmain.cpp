#include "app/frmmain.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QSplitter>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <QApplication>

#include "app/appfolder.h"
#include "app/dialogs.h"
#include "app/docconv.h"
#include "app/frmeditclass.h"
#include "app/frmwnl.h"
#include "app/maintenance.h"
#include "app/messages.h"
#include "app/places.h"
#include "app/widgets.h"
#include "base/encoding.h"
#include "base/rtf.h"
#include "base/textclean.h"
#include "engine/ganzhi.h"
#include "engine/topics.h"
#include "store/record_base.h"

namespace qd {

static QString Q(const std::string& s) { return QString::fromStdString(s); }
static std::string S(const QString& s) { return s.toStdString(); }

// Hour item h shows the branch of hour h; odd hours begin the next branch.
static int BranchOfHour(int h) { return ((h + 1) / 2 + 1) % 12; }

TFrmMain::TFrmMain(const QString& appFolder, MRecordBase* store, QWidget* parent)
    : QMainWindow(parent), appFolder_(appFolder), store_(store) {
    if (!appFolder_.endsWith('/')) appFolder_ += '/';
    InitRecordData(record_);
    setWindowTitle(AppTitle());
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(14);
    setFont(f);
    BuildLayout();
    BuildMenus();
    BuildViewMenus();
    BuildCaseCommands();
    resize(952, 741);
    RedtVelmark->clear();
}

TFrmMain::~TFrmMain() {
    StopLoading();
    if (FrmText) delete FrmText.data();
    if (engine_) engine_->BindResultView(nullptr);
}

// ---------------------------------------------------------------- layout

void TFrmMain::BuildLayout() {
    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    SplitterH = new QSplitter(Qt::Horizontal, central);
    SplitterH->setHandleWidth(3);
    SplitterH->setChildrenCollapsible(false);
    Tree = new QTreeWidget(SplitterH);
    Tree->setHeaderHidden(true);
    Tree->setMinimumWidth(30);
    Tree->setDragEnabled(true);
    Tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tree->setContextMenuPolicy(Qt::CustomContextMenu);

    auto* panel1 = new QWidget(SplitterH);
    auto* col = new QVBoxLayout(panel1);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);
    ToolBar1 = new QToolBar(panel1);
    ToolBar1->setFixedHeight(30);
    ToolBar1->setMovable(false);
    col->addWidget(ToolBar1);
    SplitterV = new QSplitter(Qt::Vertical, panel1);
    SplitterV->setHandleWidth(3);
    SplitterV->setChildrenCollapsible(false);
    RedtVelmark = new QTextEdit(SplitterV);
    RedtVelmark->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RedtVelmark->setContextMenuPolicy(Qt::CustomContextMenu);
    RedtVelmark->setAcceptRichText(true);
    RedtPingYu = new QTextEdit(SplitterV);
    RedtPingYu->setMinimumHeight(20);
    RedtPingYu->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    RedtPingYu->setContextMenuPolicy(Qt::CustomContextMenu);
    RedtPingYu->setTabChangesFocus(false);
    QFont pf(QStringLiteral("宋体"));
    pf.setPixelSize(14);
    RedtPingYu->setFont(pf);
    RedtPingYu->setPlainText(QStringLiteral("输入自己的评语："));
    RedtPingYu->document()->setModified(false);
    SplitterV->addWidget(RedtVelmark);
    SplitterV->addWidget(RedtPingYu);
    SplitterV->setStretchFactor(0, 1);
    SplitterV->setStretchFactor(1, 0);
    col->addWidget(SplitterV, 1);
    SplitterH->addWidget(Tree);
    SplitterH->addWidget(panel1);
    SplitterH->setStretchFactor(0, 0);
    SplitterH->setStretchFactor(1, 1);
    row->addWidget(SplitterH, 1);

    sinkOwner_ = std::make_unique<CQtRichTextSink>(RedtVelmark);
    sink_ = sinkOwner_.get();

    BuildPanel();
    // The panel scrolls in a low window rather than forcing its height on it.
    auto* panelScroll = new QScrollArea(central);
    panelScroll->setObjectName(QStringLiteral("Panel2Scroll"));
    panelScroll->setFrameShape(QFrame::NoFrame);
    panelScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panelScroll->setWidgetResizable(true);
    panelScroll->setFixedWidth(120);
    panelScroll->setWidget(Panel2);
    row->addWidget(panelScroll);
    setCentralWidget(central);

    TbtoOne1 = ToolBar1->addAction(QStringLiteral("　上一日　"));
    TbtoOne2 = ToolBar1->addAction(QStringLiteral("　下一日　"));
    TbtoTwo1 = ToolBar1->addAction(QStringLiteral("　上一时　"));
    TbtoTwo2 = ToolBar1->addAction(QStringLiteral("　下一时　"));
    int kind = 1;
    for (QAction* a : {TbtoOne1, TbtoOne2, TbtoTwo1, TbtoTwo2}) {
        a->setToolTip(a->text());
        connect(a, &QAction::triggered, this, [this, kind] { StepAndCast(kind); });
        ++kind;
    }
}

void TFrmMain::BuildPanel() {
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));

    auto* v = new QVBoxLayout(Panel2);
    v->setContentsMargins(3, 3, 3, 3);
    v->setSpacing(3);

    auto* yearRow = new QHBoxLayout;
    EdtYear = new QLineEdit(QStringLiteral("2004"), Panel2);
    EdtYear->setMaxLength(4);
    UpYear = new TUpDown(0, 300, Panel2);
    UpYear->SetPosition(104);
    yearRow->setSpacing(2);
    EdtYear->setMinimumWidth(40);
    yearRow->addWidget(EdtYear, 1);
    yearRow->addWidget(UpYear);
    yearRow->addWidget(new QLabel(QStringLiteral("年"), Panel2));
    v->addLayout(yearRow);
    connect(UpYear, &TUpDown::clicked, this, &TFrmMain::UpYearClick);

    auto combo = [this, v](QComboBox*& c) {
        c = new QComboBox(Panel2);
        c->setMaxVisibleItems(16);
        // Narrow enough for the panel; the drop-down list shows the full texts.
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(3);
        v->addWidget(c);
    };
    combo(CboM);
    combo(CboD);
    combo(CboH);
    combo(CboMinute);

    auto* kindRow = new QHBoxLayout;
    RdoGong = new QRadioButton(QStringLiteral("公历 "), Panel2);
    RdoNong = new QRadioButton(QStringLiteral("农历 "), Panel2);
    RdoGong->setChecked(true);
    kindRow->setSpacing(2);
    kindRow->addWidget(RdoGong);
    kindRow->addWidget(RdoNong);
    v->addLayout(kindRow);
    ChkRun = new QCheckBox(QStringLiteral("农历闰月 "), Panel2);
    v->addWidget(ChkRun);

    combo(CboProv);
    combo(CboCity);
    CboCity->setToolTip(QStringLiteral("选择邻近城市"));
    CboCity->addItem(QStringLiteral("未知地"));
    connect(CboProv, &QComboBox::activated, this, [this] { CboProvClick(); });

    v->addWidget(new QLabel(QStringLiteral("姓名"), Panel2));
    EdtName = new QLineEdit(QStringLiteral("某人"), Panel2);
    EdtName->setMaxLength(20);
    EdtName->setValidator(new TGbkLengthValidator(20, EdtName));
    v->addWidget(EdtName);
    v->addWidget(new QLabel(QStringLiteral("占问事宜"), Panel2));
    EdtEvent = new QLineEdit(QStringLiteral("要问的事情。"), Panel2);
    EdtEvent->setMaxLength(200);
    EdtEvent->setValidator(new TGbkLengthValidator(200, EdtEvent));
    v->addWidget(EdtEvent);

    v->addWidget(new QLabel(QStringLiteral("起贵神方式"), Panel2));
    combo(CboGuiShen);
    v->addWidget(new QLabel(QStringLiteral("起课数(地分) "), Panel2));
    combo(CboDiFen);
    CboDiFen->setEditable(true);
    CboDiFen->setInsertPolicy(QComboBox::NoInsert);
    combo(CboSelJiang);

    BtnPai = new QPushButton(QStringLiteral("起课"), Panel2);
    BtnPai->setDefault(true);
    v->addWidget(BtnPai);
    connect(BtnPai, &QPushButton::clicked, this, &TFrmMain::BtnPaiClick);

    auto* tools = new QHBoxLayout;
    SbtoNow = new QToolButton(Panel2);
    SbtoNow->setText(QStringLiteral("现在"));
    SbtoNow->setToolTip(QStringLiteral("现在时间"));
    SbtoOther = new QToolButton(Panel2);
    SbtoOther->setText(QStringLiteral("日时"));
    SbtoOther->setToolTip(QStringLiteral("日时起课"));
    for (QToolButton* b : {SbtoNow, SbtoOther}) {
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        tools->addWidget(b);
    }
    v->addLayout(tools);
    connect(SbtoNow, &QToolButton::clicked, this, &TFrmMain::SbtoNowClick);
    connect(SbtoOther, &QToolButton::clicked, this, &TFrmMain::SbtoOtherClick);

    auto* topics = new QGridLayout;
    topics->setSpacing(2);
    const char* names[5] = {"财运", "婚姻", "疾病", "求职", "彩票"};
    for (int i = 0; i < 5; ++i) {
        BtnTopic[i] = new QPushButton(QString::fromUtf8(names[i]), Panel2);
        BtnTopic[i]->setAutoDefault(false);
        topics->addWidget(BtnTopic[i], i / 2, i % 2);
        connect(BtnTopic[i], &QPushButton::clicked, this, [this, i] { ShowTopic(i); });
    }
    v->addLayout(topics);
    v->addStretch();
    // Some styles give buttons and lists a minimum width that would overflow
    // the narrow panel; here they share its width instead.
    for (QWidget* c : Panel2->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (c == UpYear || qobject_cast<QLabel*>(c)) continue;
        c->setMinimumWidth(1);
        QSizePolicy sp = c->sizePolicy();
        sp.setHorizontalPolicy(QSizePolicy::Ignored);
        c->setSizePolicy(sp);
    }
}

void TFrmMain::FillPanelLists() {
    CboM->clear();
    for (int m = 1; m <= 12; ++m) CboM->addItem(QString::number(m) + QStringLiteral("月"));
    CboD->clear();
    for (int d = 1; d <= 31; ++d) CboD->addItem(QString::number(d) + QStringLiteral("日"));
    CboH->clear();
    for (int h = 0; h < 24; ++h) CboH->addItem(QString::number(h) + QStringLiteral("时") + QString::fromUtf8(BranchName(BranchOfHour(h))));
    CboMinute->clear();
    for (int m = 0; m < 60; ++m) CboMinute->addItem(QString::number(m) + QStringLiteral("分"));
    CboGuiShen->clear();
    CboGuiShen->addItems({QStringLiteral("按卯酉时分"), QStringLiteral("起白天贵神"), QStringLiteral("起夜晚贵神")});
    CboDiFen->clear();
    for (int i = 0; i < 12; ++i) {
        const int b = (i + 1) % 12;
        CboDiFen->addItem(QString::fromUtf8(BranchName(b)) + QStringLiteral("、") + QString::fromUtf8(AnimalName(b)));
    }
    CboSelJiang->clear();
    CboSelJiang->addItem(QStringLiteral("月将"));
    for (int i = 0; i < 12; ++i) CboSelJiang->addItem(QString::fromUtf8(BranchName((i + 1) % 12)) + QStringLiteral("将"));
    CboProv->clear();
    for (int i = 0; i < kProvinceCount; ++i) CboProv->addItem(QString::fromUtf8(kProvinces[i]));
}

// ---------------------------------------------------------------- menus

void TFrmMain::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    mnuSave = file->addAction(QStringLiteral("保存课例"));
    file->addSeparator();
    mnuRestore = file->addAction(QStringLiteral("还原案例数据"));
    mnuBackup = file->addAction(QStringLiteral("备份案例数据"));
    mnuDeleteAll = file->addAction(QStringLiteral("删除案例数据"));
    mnuCompact = file->addAction(QStringLiteral("整理数据"));
    QMenu* io = file->addMenu(QStringLiteral("导入导出"));
    mnuImportDb = io->addAction(QStringLiteral("添加db文件"));
    mnuExportDb = io->addAction(QStringLiteral("导出db文件"));
    const auto maintenance = [this](bool (*command)(const TMaintenance&)) {
        return [this, command] { command(TMaintenance{this, store_, RedtPingYu, treeBusy_}); };
    };
    connect(mnuRestore, &QAction::triggered, this, maintenance(&qd::RestoreCommand));
    connect(mnuBackup, &QAction::triggered, this, maintenance(&qd::BackupCommand));
    connect(mnuDeleteAll, &QAction::triggered, this, maintenance(&qd::DeleteAllCommand));
    connect(mnuCompact, &QAction::triggered, this, maintenance(&qd::CompactCommand));
    connect(mnuImportDb, &QAction::triggered, this, maintenance(&qd::ImportCommand));
    connect(mnuExportDb, &QAction::triggered, this, maintenance(&qd::ExportCommand));
    file->addSeparator();
    mnuClose = file->addAction(QStringLiteral("关闭"));
    connect(mnuClose, &QAction::triggered, this, &QWidget::close);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("辅助工具(&T)"));
    mnuDiLi = tools->addAction(QStringLiteral("经纬度设置"));
    connect(mnuDiLi, &QAction::triggered, this, [this] {
        TFrmDiLi dlg(appFolder_, this);
        dlg.exec();
    });
    mnuCalendar = tools->addAction(QStringLiteral("万年历"));
    connect(mnuCalendar, &QAction::triggered, this, &TFrmMain::CalendarClick);
    mnuKnowledge = tools->addAction(QStringLiteral("相关知识"));
    connect(mnuKnowledge, &QAction::triggered, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(appFolder_ + "dat/Quadrelle.html")); });

    QMenu* opt = menuBar()->addMenu(QStringLiteral("选项(&O)"));
    QMenu* mg = opt->addMenu(QStringLiteral("命稿设置"));
    mnuDefault = mg->addAction(QStringLiteral("默认"));
    mnuFont = mg->addAction(QStringLiteral("字体设置"));
    mnuColor = mg->addAction(QStringLiteral("背景色设置"));
    connect(mnuDefault, &QAction::triggered, this, [this] {
        QFont f(QStringLiteral("宋体"));
        f.setPointSize(12);
        SetBaseFont(f);
        SetBackground(0xFFFFFF);
        Notice(this, QStringLiteral("设置完成"));
    });
    connect(mnuFont, &QAction::triggered, this, [this] {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, RedtVelmark->font(), this);
        if (!ok) return;
        QFont base(f.family());
        base.setPointSizeF(f.pointSizeF() > 0 ? f.pointSizeF() : 12);
        SetBaseFont(base);
        Notice(this, QStringLiteral("设置完成"));
    });
    connect(mnuColor, &QAction::triggered, this, [this] {
        const QColor c = QColorDialog::getColor(ColorOfWin(bcolor_), this);
        if (!c.isValid()) return;
        SetBackground(WinOfColor(c));
        Notice(this, QStringLiteral("设置完成"));
    });
    mnuSet = opt->addAction(QStringLiteral("排盘设置"));
    connect(mnuSet, &QAction::triggered, this, [this] {
        TFrmSet dlg(appFolder_, this);
        dlg.exec();
    });
    Opt_Skin = opt->addMenu(QStringLiteral("界面风格"));

    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    mnuHelp = help->addAction(QStringLiteral("软件帮助"));
    connect(mnuHelp, &QAction::triggered, this, [this] {
        TFrmHelp dlg(this);
        dlg.exec();
    });

    // The case tree's menu; only its display style submenu is live so far.
    PopGuaLi = new QMenu(this);
    MnuShowStyle = PopGuaLi->addMenu(QStringLiteral("显示样式"));
    styleGroup_ = new QActionGroup(this);
    sortGroup_ = new QActionGroup(this);
    int n = 0;
    for (const char* t : {"分类显示", "列表显示"}) {
        QAction* a = MnuShowStyle->addAction(QString::fromUtf8(t));
        a->setCheckable(true);
        a->setData(QPoint(0, n++));
        styleGroup_->addAction(a);
    }
    MnuShowStyle->addSeparator();
    n = 1;
    for (const char* t : {"时间降序（近-远）", "时间升序（远-近）", "姓氏升序（a-z）", "姓氏降序（z-a）", "无"}) {
        QAction* a = MnuShowStyle->addAction(QString::fromUtf8(t));
        a->setCheckable(true);
        a->setData(QPoint(2, n++));
        sortGroup_->addAction(a);
    }
    mnuEditClass = PopGuaLi->addAction(QStringLiteral("编辑类别"));
    connect(mnuEditClass, &QAction::triggered, this, &TFrmMain::EditClassClick);
    connect(Tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopGuaLi->popup(Tree->viewport()->mapToGlobal(p)); });
}

void TFrmMain::EditClassClick() {
    if (store_ && EditCategories(*store_, treeBusy_, this)) CategoriesChanged();
}

// The categories or the cases' categories changed: the tree shows them anew.
void TFrmMain::CategoriesChanged() {
    RefreshTree();
}

void TFrmMain::BuildViewMenus() {
    auto editItems = [](QMenu* m, QTextEdit* v, const char* paste) {
        QObject::connect(m->addAction(QStringLiteral("撤销")), &QAction::triggered, v, &QTextEdit::undo);
        QObject::connect(m->addAction(QStringLiteral("复制")), &QAction::triggered, v, &QTextEdit::copy);
        QObject::connect(m->addAction(QString::fromUtf8(paste)), &QAction::triggered, v, &QTextEdit::paste);
        QObject::connect(m->addAction(QStringLiteral("剪切")), &QAction::triggered, v, &QTextEdit::cut);
        QObject::connect(m->addAction(QStringLiteral("删除")), &QAction::triggered, v,
                         [v] { v->textCursor().removeSelectedText(); });
        m->addSeparator();
        QObject::connect(m->addAction(QStringLiteral("全选")), &QAction::triggered, v, &QTextEdit::selectAll);
        m->addSeparator();
    };
    PopRdtqdl = new QMenu(this);
    editItems(PopRdtqdl, RedtVelmark, "粘贴");
    connect(PopRdtqdl->addAction(QStringLiteral("设置选中文字")), &QAction::triggered, this,
            [this] { SetSelectionFont(RedtVelmark); });
    PopRdtqdl->addSeparator();
    connect(PopRdtqdl->addAction(QStringLiteral("导入霁岚术文件")), &QAction::triggered, this, &TFrmMain::ImportCommand);
    connect(PopRdtqdl->addAction(QStringLiteral("另存为")), &QAction::triggered, this,
            [this] { SaveAsCommand(RedtVelmark); });
    PopRdtqdl->addSeparator();
    connect(PopRdtqdl->addAction(QStringLiteral("打印课例")), &QAction::triggered, this,
            [this] { PrintCommand(RedtVelmark, false); });

    PopPingYu = new QMenu(this);
    editItems(PopPingYu, RedtPingYu, "粘帖");
    connect(PopPingYu->addAction(QStringLiteral("设置选中文本")), &QAction::triggered, this,
            [this] { SetSelectionFont(RedtPingYu); });
    PopPingYu->addSeparator();
    connect(PopPingYu->addAction(QStringLiteral("另存为")), &QAction::triggered, this,
            [this] { SaveAsCommand(RedtPingYu); });
    connect(PopPingYu->addAction(QStringLiteral("打印")), &QAction::triggered, this,
            [this] { PrintCommand(RedtPingYu, true); });

    connect(RedtVelmark, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopRdtqdl->popup(RedtVelmark->viewport()->mapToGlobal(p)); });
    connect(RedtPingYu, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopPingYu->popup(RedtPingYu->viewport()->mapToGlobal(p)); });
}

// ---------------------------------------------------------------- show step

void TFrmMain::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TFrmMain::FormShow() {
    FillPanelLists();
    ReadConfiguration();
    engine_ = std::make_unique<CQuadrellemp>();
    engine_->SetApplicationFolder(S(appFolder_));
    engine_->BindResultView(sink_);
    OpenCaseStore();
    connect(styleGroup_, &QActionGroup::triggered, this, &TFrmMain::ShowStyleClick);
    connect(sortGroup_, &QActionGroup::triggered, this, &TFrmMain::ShowStyleClick);
    if (savedState_ == 2)
        setWindowState(windowState() | Qt::WindowMaximized);
    else if (savedState_ == 1)
        setWindowState(windowState() | Qt::WindowMinimized);
}

void TFrmMain::OpenCaseStore() {
    if (!store_) return;
    const TOpenResult r = store_->OpenDatabase(S(appFolder_) + "dat/Quadrelle.db", S(appFolder_), true);
    if (r != TOpenResult::Opened) Notice(this, Q(store_->LastError()));
    const int last = store_->GetLastId();
    shownIds_.clear();
    for (int id = last; id >= 1 && int(shownIds_.size()) < 1000; --id) shownIds_.push_back(id);
    BuildTree(shownIds_);
    if (last > 1000) {
        RedtPingYu->setPlainText(RedtPingYu->toPlainText() + QStringLiteral("\n\n") +
                                 QStringLiteral("案例总数大致：%1个，可以在树表上按鼠标右键，点击“显示全部案例“").arg(last));
        RedtPingYu->document()->setModified(false);
    }
}

void TFrmMain::ReadConfiguration() {
    CboSelJiang->setCurrentIndex(0);
    SbtoNowClick();
    CboGuiShen->setCurrentIndex(0);
    CboDiFen->setCurrentIndex(0);
    lon_.assign(1, 120.0f);
    lat_.assign(1, 30.0f);

    ini_ = std::make_unique<CIniFile>(S(appFolder_) + "dat/qdlinit.ini");
    BuildSkinList();
    if (ini_->ReadBool("window", "skined", false)) {
        const QString name = Q(ini_->ReadString("window", "skinname", "Mx1"));
        for (QAction* a : Opt_Skin->actions()) a->setChecked(a->text() == name);
        ApplySkin(appFolder_ + "skins/" + name + ".skn", true);
    } else {
        ApplySkin(QString(), false);
        const QList<QAction*> items = Opt_Skin->actions();
        if (items.size() >= 2) items.last()->setChecked(true);
    }

    const int left = ini_->ReadInteger("winpos", "left", 10);
    const int top = ini_->ReadInteger("winpos", "top", 10);
    const int width = ini_->ReadInteger("winpos", "width", 400);
    const int height = ini_->ReadInteger("winpos", "height", 400);
    savedState_ = ini_->ReadInteger("winpos", "state", 0);
    setGeometry(left, top, width, height);

    QFont base(Q(ini_->ReadString("minggao", "fname", "宋体")));
    base.setPointSize(std::max(1, ini_->ReadInteger("minggao", "fsize", 12)));
    SetBaseFont(base);
    SetBackground(TColor(ini_->ReadInteger("minggao", "bcolor", 12635344)));

    const int treewid = std::max(30, ini_->ReadInteger("winpos", "treewid", 180));
    const int pinghei = std::max(20, ini_->ReadInteger("winpos", "pinghei", 80));
    SplitterH->setSizes({treewid, std::max(100, width - treewid - 123)});
    const int viewTotal = std::max(height - 30 - 3, pinghei + 50);
    SplitterV->setSizes({viewTotal - pinghei, pinghei});

    int sheng = ini_->ReadInteger("winpos", "sheng", kProvinceCount - 1);
    if (sheng < 0 || sheng >= kProvinceCount) sheng = kProvinceCount - 1;
    CboProv->setCurrentIndex(sheng);
    CboProvClick();
    const int shi = ini_->ReadInteger("winpos", "shi", 0);
    if (CboCity->count() > 0) CboCity->setCurrentIndex(shi >= 0 && shi < CboCity->count() ? shi : 0);

    showStyle_ = ini_->ReadInteger("tree", "showStyle", 1);
    sort_ = ini_->ReadInteger("tree", "sort", 0);
    if (showStyle_ < 0 || showStyle_ > 1) showStyle_ = 0;
    if (sort_ < 0 || sort_ > 4) sort_ = 0;
    for (QAction* a : MnuShowStyle->actions()) {
        if (a->isSeparator()) continue;
        const QPoint d = a->data().toPoint();
        if (d.x() == 0) a->setChecked(d.y() == showStyle_);
        if (d.x() == 2) a->setChecked(d.y() == (sort_ == 0 ? 5 : sort_));
    }
}

void TFrmMain::ShowStyleClick(QAction* a) {
    const QPoint d = a->data().toPoint();
    SetDisplay(d.x() == 0 ? d.y() : showStyle_, d.x() == 2 ? (d.y() == 5 ? 0 : d.y()) : sort_);
}

// ---------------------------------------------------------------- skins

void TFrmMain::BuildSkinList() {
    Opt_Skin->clear();
    skinGroup_ = new QActionGroup(this);
    skinGroup_->setExclusive(true);
    const QStringList files = QDir(appFolder_ + "skins").entryList({"*.skn"}, QDir::Files, QDir::Name);
    for (const QString& f : files) {
        QAction* a = Opt_Skin->addAction(f.section('.', 0, 0));
        a->setCheckable(true);
        skinGroup_->addAction(a);
    }
    if (!files.isEmpty()) {
        Opt_Skin->addSeparator();
        QAction* def = Opt_Skin->addAction(QStringLiteral("系统默认"));
        def->setCheckable(true);
        def->setData(true);
        QFont bold = def->font();
        bold.setBold(true);
        def->setFont(bold);
        skinGroup_->addAction(def);
    }
    connect(skinGroup_, &QActionGroup::triggered, this, &TFrmMain::ChooseSkin);
}

void TFrmMain::ApplySkin(const QString& path, bool on) {
    if (!on) {
        qApp->setStyleSheet(QString());
        return;
    }
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) qApp->setStyleSheet(QString::fromUtf8(f.readAll()));
    ApplyViewLook();
}

void TFrmMain::ChooseSkin(QAction* item) {
    item->setChecked(true);
    if (item->data().toBool()) {
        ApplySkin(QString(), false);
        update();
        ini_->WriteBool("window", "skined", false);
        return;
    }
    const QString path = appFolder_ + "skins/" + item->text() + ".skn";
    if (!QFileInfo::exists(path)) {
        Notice(this, QStringLiteral("对应的皮肤文件已经丢失，请关闭软件，再重新打开软件！"));
        return;
    }
    ApplySkin(path, true);
    ini_->WriteString("window", "skinname", S(item->text()));
    ini_->WriteBool("window", "skined", true);
}

// ---------------------------------------------------------------- places

void TFrmMain::CboProvClick() {
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
            ShowBox(this, QStringLiteral("'%1' 不是有效的整数值").arg(Q(v)), QStringLiteral("错误"), TMsgIcon::Error);
            return;
        }
        lon_.push_back(lo);
        lat_.push_back(la);
    }
    if (CboCity->count() > 0) CboCity->setCurrentIndex(0);
}

float TFrmMain::Longitude(int city) const { return city >= 0 && city < int(lon_.size()) ? lon_[city] : 120.0f; }
float TFrmMain::Latitude(int city) const { return city >= 0 && city < int(lat_.size()) ? lat_[city] : 30.0f; }

// ---------------------------------------------------------------- panel

void TFrmMain::UpYearClick() { EdtYear->setText(QString::number(UpYear->Position() + 1900)); }

void TFrmMain::SetPanelMoment(int year, int month, int day, int hour, int minute) {
    EdtYear->setText(QString::number(year));
    UpYear->SetPosition(year - 1900);
    CboM->setCurrentIndex(month - 1);
    CboD->setCurrentIndex(day - 1);
    CboH->setCurrentIndex(hour);
    CboMinute->setCurrentIndex(minute);
    RdoGong->setChecked(true);
    ChkRun->setChecked(false);
}

void TFrmMain::SbtoNowClick() {
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

void TFrmMain::CalendarClick() {
    TDateTime r;
    if (castShown_ && engine_) {
        r = engine_->ClockMoment();
    } else {
        bool ok = false;
        int year = EdtYear->text().trimmed().toInt(&ok);
        if (!ok) year = 0;
        // The panel has no year 0.
        if (year <= 0) --year;
        r = TDateTime{int16_t(year), int16_t(CboM->currentIndex() + 1), int16_t(CboD->currentIndex() + 1),
                      int16_t(CboH->currentIndex()), int16_t(CboMinute->currentIndex())};
    }
    if (!FrmWnl) FrmWnl = new TFrmWnl(this, this);
    FrmWnl->Open(r);
    FrmWnl->show();
    FrmWnl->raise();
}

TFrmWnl* TFrmMain::CalendarWindow() const { return FrmWnl.data(); }

void TFrmMain::BtnPaiClick() {
    record_.request.direct = 0;
    ReadPanelAndCast();
}

void TFrmMain::ReadPanelAndCast() {
    castShown_ = false;
    std::string name = S(EdtName->text().trimmed());
    if (CleanText(name, 10)) {
        Notice(this, QStringLiteral("姓名中包含：\"、*、<、>、?、\\、/、|、'、：等字符。已经处理为合适的文本！"));
        EdtName->setText(Q(name));
    }
    std::string question = S(EdtEvent->text().trimmed());
    if (CleanText(question, 100)) {
        Notice(this, QStringLiteral("占问事宜中包含：\"、*、<、>、?、\\、/、|、'、：等字符。已经处理为合适的文本！"));
        EdtEvent->setText(Q(question));
    }
    bool ok = false;
    int year = EdtYear->text().trimmed().toInt(&ok);
    if (!ok) year = 0;
    if (year < 1900 || year > 2200) {
        ShowBox(this, QStringLiteral("年份最大范围1900 - 2200"), QStringLiteral("年份错误"), TMsgIcon::Warning);
        EdtYear->setFocus();
        return;
    }
    TCastRequest& r = record_.request;
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
        WriteGbkField(r.place, S(CboProv->currentText() + CboCity->currentText()));
    else
        WriteGbkField(r.place, "未知地");

    if (!engine_) return;
    if (engine_->Cast(r)) {
        castShown_ = true;
        CloseTextWindow();
    } else {
        ShowBox(this, Q(engine_->ErrorText()), QStringLiteral("错误"), TMsgIcon::Error);
    }
}

void TFrmMain::StepAndCast(int kind) {
    if (!castShown_ || !engine_) {
        ShowBox(this, QStringLiteral("请先排一个正确的盘！"), QStringLiteral("先排盘"), TMsgIcon::Information);
        return;
    }
    double jd = 0;
    engine_->ClockMoment(&jd);
    const double step = (kind == 1 || kind == 3) ? -1.0 : 1.0;
    jd += (kind <= 2) ? step : step / 12.0;
    jd += 0.00005787037037037037;
    const TDateTime t = engine_->RecordOfJulianDay(jd);
    SetPanelMoment(t.year, t.month, t.day, t.hour, t.minute);
    RdoNong->setChecked(false);
    BtnPaiClick();
}

void TFrmMain::SbtoOtherClick() {
    TFrmOtherQi dlg(record_.request, this);
    if (dlg.exec() != QDialog::Accepted) return;
    CboSelJiang->setCurrentIndex(0);
    ReadPanelAndCast();
}

void TFrmMain::ShowTopic(int topic) {
    if (!castShown_ || !engine_) {
        ShowBox(this, QStringLiteral("请先排一个正确的盘"), QStringLiteral("排盘"), TMsgIcon::Information);
        return;
    }
    ShowTextWindow(QString::fromUtf8(TopicTitle(topic)), Q(TopicReading(engine_->State(), topic)));
}

// ---------------------------------------------------------------- views

void TFrmMain::ShowTextWindow(const QString& title, const QString& text) {
    if (!FrmText) FrmText = new TFrmText(this);
    FrmText->SetContent(title, text);
    FrmText->show();
    FrmText->raise();
}

void TFrmMain::CloseTextWindow() {
    if (FrmText) {
        FrmText->close();
        FrmText = nullptr;
    }
}

void TFrmMain::ApplyViewLook() {
    const QColor c = ColorOfWin(bcolor_);
    // The view's own style sheet wins over a skin's.
    RedtVelmark->setStyleSheet(QStringLiteral("QTextEdit { background-color: %1; color: black; }").arg(c.name()));
}

void TFrmMain::SetBaseFont(const QFont& font) {
    RedtVelmark->setFont(font);
    RedtVelmark->document()->setDefaultFont(font);
}

void TFrmMain::SetBackground(TColor color) {
    bcolor_ = color & 0xFFFFFF;
    ApplyViewLook();
}

void TFrmMain::SetSelectionFont(QTextEdit* view) {
    QTextCursor c = view->textCursor();
    if (!c.hasSelection()) return;
    const QTextCharFormat cur = c.charFormat();
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, cur.font(), this);
    if (!ok) return;
    // Qt's font dialog has no colour box; the colour follows as a second step.
    const QColor col = QColorDialog::getColor(cur.foreground().color(), this);
    QTextCharFormat fmt;
    fmt.setFont(f);
    if (col.isValid()) fmt.setForeground(col);
    c.mergeCharFormat(fmt);
}

bool TFrmMain::ImportFile(const QString& path) {
    QFile f(path);
    RedtVelmark->clear();
    sink_->Clear();
    sink_->SetDefaultAttributes();
    if (!f.open(QIODevice::ReadOnly)) return false;
    const std::string bytes = f.readAll().toStdString();
    const double size = RedtVelmark->font().pointSizeF() > 0 ? RedtVelmark->font().pointSizeF() : 12;
    if (bytes.rfind("{\\rtf", 0) == 0) {
        RtfToDocument(ReadRtf(bytes), RedtVelmark->document(), size);
    } else {
        RedtVelmark->setPlainText(Q(TextOfFileBytes(bytes)));
    }
    return true;
}

void TFrmMain::ImportCommand() {
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(),
                                                      QStringLiteral("All.rtf (*.rtf);;All.txt (*.txt)"));
    if (path.isEmpty()) return;
    if (!ImportFile(path))
        ShowBox(this, QStringLiteral("导入文件出错,请重试一次"), QStringLiteral("重试一次"), TMsgIcon::None);
}

bool TFrmMain::SaveViewAs(QTextEdit* view, const QString& base, bool rtf) {
    const QString path = base + (rtf ? ".rtf" : ".txt");
    std::string bytes;
    if (rtf) {
        bytes = WriteRtf(DocumentToRtf(view->document()));
    } else {
        QString text = view->toPlainText();
        text.replace('\n', QStringLiteral("\r\n"));
        bytes = Utf8ToGbk(S(text));
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ShowBox(this, f.errorString(), QStringLiteral("错误"), TMsgIcon::Error);
        return false;
    }
    f.write(bytes.data(), qint64(bytes.size()));
    return true;
}

void TFrmMain::SaveAsCommand(QTextEdit* view) {
    QFileDialog dlg(this);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilters({QStringLiteral("Rtf格式 (*.rtf)"), QStringLiteral("Txt格式 (*.txt)")});
    dlg.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    const bool rtf = dlg.selectedNameFilter().startsWith(QStringLiteral("Rtf"));
    if (SaveViewAs(view, dlg.selectedFiles().first(), rtf)) Notice(this, QStringLiteral("已保存！"));
}

bool TFrmMain::PrintView(QTextEdit* view, QPrinter* printer) {
    printer->setDocName(QString());
    view->document()->print(printer);
    return printer->printerState() != QPrinter::Error;
}

void TFrmMain::PrintCommand(QTextEdit* view, bool ask) {
    if (ask && !AskYes(this, QStringLiteral("准备开始打印吗?"), QStringLiteral("打印"), TMsgIcon::Information)) return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dlg(&printer, this);
    if (dlg.exec() != QDialog::Accepted) return;
    if (!PrintView(view, &printer))
        ShowBox(this, QStringLiteral("打印错误，请检查打印设备！"), QStringLiteral("打印错误"), TMsgIcon::Error);
}

QString TFrmMain::CommentPlainText() {
    QString t = RedtPingYu->toPlainText();
    t.replace('\n', QStringLiteral("\r\n"));
    t.remove('\'');
    return t;
}

int TFrmMain::TreeWidth() const { return SplitterH->sizes().value(0, Tree->width()); }
int TFrmMain::CommentHeight() const { return SplitterV->sizes().value(1, RedtPingYu->height()); }

// ---------------------------------------------------------------- close

bool TFrmMain::FormCloseQuery() {
    if (treeBusy_) {
        if (!AskYes(this, QStringLiteral("是否停止显示案例？"), QStringLiteral("显示案例"), TMsgIcon::Warning)) {
            Notice(this, QStringLiteral("请等待案例加载完毕！"));
            return false;
        }
        stopLoading_ = true;
        // Wait for the loading now, so that saving a changed comment below is
        // not refused as busy.
        StopLoading();
    }
    if (!AskYes(this, QStringLiteral("确定要关闭软件吗？"), QStringLiteral("关闭"), TMsgIcon::Information)) return false;
    if (storedCase_ && RedtPingYu->document()->isModified()) {
        if (AskYes(this, QStringLiteral("当前评语文本已改变，要保存吗？"), QStringLiteral("提示"), TMsgIcon::Warning))
            SaveCurrentCase();
    }
    return true;
}

void TFrmMain::WriteConfiguration() {
    if (!ini_) return;
    ini_->SetAutoSave(false);
    const Qt::WindowStates st = windowState();
    const int state = (st & Qt::WindowMinimized) ? 1 : (st & Qt::WindowMaximized) ? 2 : 0;
    if (state == 0) {
        const QRect g = geometry();
        ini_->WriteInteger("winpos", "left", g.x());
        ini_->WriteInteger("winpos", "top", g.y());
        ini_->WriteInteger("winpos", "width", g.width());
        ini_->WriteInteger("winpos", "height", g.height());
    }
    ini_->WriteInteger("winpos", "state", state);
    const QFont f = RedtVelmark->font();
    ini_->WriteString("minggao", "fname", S(f.family()));
    ini_->WriteInteger("minggao", "fsize", f.pointSize() > 0 ? f.pointSize() : 12);
    ini_->WriteInteger("minggao", "bcolor", int(bcolor_));
    ini_->WriteInteger("winpos", "treewid", TreeWidth());
    ini_->WriteInteger("winpos", "pinghei", CommentHeight());
    ini_->WriteInteger("winpos", "sheng", CboProv->currentIndex());
    ini_->WriteInteger("winpos", "shi", CboCity->currentIndex());
    ini_->WriteInteger("tree", "showStyle", showStyle_);
    ini_->WriteInteger("tree", "sort", sort_);
    ini_->Save();
}

void TFrmMain::closeEvent(QCloseEvent* e) {
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    StopLoading();
    WriteConfiguration();
    CloseTextWindow();
    lon_.clear();
    lat_.clear();
    ini_.reset();
    if (engine_) engine_->BindResultView(nullptr);
    engine_.reset();
    e->accept();
}

}  // namespace qd
