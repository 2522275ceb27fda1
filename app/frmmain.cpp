// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/frmmain.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QScrollArea>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/appfolder.h"
#include "app/dialogs.h"
#include "app/folderguard.h"
#include "app/frmeditclass.h"
#include "app/frmwnl.h"
#include "app/maintenance.h"
#include "app/messages.h"
#include "app/richtext_qt.h"
#include "app/shell.h"
#include "app/skinmenu.h"
#include "app/winconfig.h"
#include "base/inifile.h"
#include "engine/topics.h"
#include "store/record_base.h"

namespace qd {

static QString Q(const std::string& s) { return QString::fromStdString(s); }
static std::string S(const QString& s) { return s.toStdString(); }

TFrmMain::TFrmMain(const QString& appFolder, MRecordBase* store, QWidget* parent)
    : QMainWindow(parent), appFolder_(appFolder), store_(store) {
    if (!appFolder_.endsWith('/')) appFolder_ += '/';
    guard_ = new TCaseFolderGuard(appFolder_, store_, this);
    setWindowTitle(AppTitle());
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(14);
    setFont(f);
    BuildLayout();
    BuildMenus();
    BuildTreeMenu();
    resize(952, 741);
    views_->ClearResult();
}

TFrmMain::~TFrmMain() {
    ForgetFolders();
    tree_->StopLoading();
    if (FrmText) delete FrmText.data();
    if (session_.engine) session_.engine->BindResultView(nullptr);
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
    tree_ = new TCaseTree(store_, SplitterH);

    auto* panel1 = new QWidget(SplitterH);
    auto* col = new QVBoxLayout(panel1);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);
    ToolBar1 = new QToolBar(panel1);
    ToolBar1->setFixedHeight(30);
    ToolBar1->setMovable(false);
    col->addWidget(ToolBar1);
    views_ = new TResultViews(panel1);
    col->addWidget(views_, 1);
    SplitterH->addWidget(tree_);
    SplitterH->addWidget(panel1);
    SplitterH->setStretchFactor(0, 0);
    SplitterH->setStretchFactor(1, 1);
    row->addWidget(SplitterH, 1);

    panel_ = new TCastPanel(appFolder_, session_, this);
    // The panel scrolls in a low window rather than forcing its height on it.
    auto* panelScroll = new QScrollArea(central);
    panelScroll->setObjectName(QStringLiteral("Panel2Scroll"));
    panelScroll->setFrameShape(QFrame::NoFrame);
    panelScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panelScroll->setWidgetResizable(true);
    panelScroll->setFixedWidth(120);
    panelScroll->setWidget(panel_);
    row->addWidget(panelScroll);
    setCentralWidget(central);

    TbtoOne1 = ToolBar1->addAction(QStringLiteral("　上一日　"));
    TbtoOne2 = ToolBar1->addAction(QStringLiteral("　下一日　"));
    TbtoTwo1 = ToolBar1->addAction(QStringLiteral("　上一时　"));
    TbtoTwo2 = ToolBar1->addAction(QStringLiteral("　下一时　"));
    const std::pair<QAction*, TStep> steps[] = {{TbtoOne1, TStep::PreviousDay},
                                                {TbtoOne2, TStep::NextDay},
                                                {TbtoTwo1, TStep::PreviousDoubleHour},
                                                {TbtoTwo2, TStep::NextDoubleHour}};
    for (const auto& [a, step] : steps) {
        a->setToolTip(a->text());
        connect(a, &QAction::triggered, panel_, [this, step] { panel_->StepAndCast(step); });
    }

    connect(panel_, &TCastPanel::castSucceeded, this, &TFrmMain::CloseTextWindow);
    connect(panel_, &TCastPanel::topicRequested, this, &TFrmMain::ShowTopic);

    cases_ = new TCaseCommands(store_, session_, *panel_, *tree_, *views_, this);
    search_ = new TCaseSearch(store_, *tree_, *cases_, this);
    connect(panel_, &TCastPanel::saveRequested, cases_, &TCaseCommands::SaveCurrentCase);
    connect(panel_, &TCastPanel::newCaseRequested, cases_, &TCaseCommands::NewCase);
}

// ---------------------------------------------------------------- menus

void TFrmMain::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    mnuSave = Named(file->addAction(QStringLiteral("保存课例")), "mnuSave");
    connect(mnuSave, &QAction::triggered, cases_, &TCaseCommands::SaveCurrentCase);
    file->addSeparator();
    mnuRestore = Named(file->addAction(QStringLiteral("还原案例数据")), "mnuRestore");
    mnuBackup = Named(file->addAction(QStringLiteral("备份案例数据")), "mnuBackup");
    mnuDeleteAll = Named(file->addAction(QStringLiteral("删除案例数据")), "mnuDeleteAll");
    mnuCompact = Named(file->addAction(QStringLiteral("整理数据")), "mnuCompact");
    QMenu* io = file->addMenu(QStringLiteral("导入导出"));
    mnuImportDb = Named(io->addAction(QStringLiteral("添加db文件")), "mnuImportDb");
    mnuExportDb = Named(io->addAction(QStringLiteral("导出db文件")), "mnuExportDb");
    const auto maintenance = [this](bool (*command)(const TMaintenance&)) {
        return [this, command] {
            // The integrity check reads the file these commands replace.
            guard_->WaitForCheck();
            command(MaintenanceOf());
        };
    };
    connect(mnuRestore, &QAction::triggered, this, maintenance(&qd::RestoreCommand));
    connect(mnuBackup, &QAction::triggered, this, maintenance(&qd::BackupCommand));
    connect(mnuDeleteAll, &QAction::triggered, this, maintenance(&qd::DeleteAllCommand));
    connect(mnuCompact, &QAction::triggered, this, maintenance(&qd::CompactCommand));
    connect(mnuImportDb, &QAction::triggered, this, maintenance(&qd::ImportCommand));
    connect(mnuExportDb, &QAction::triggered, this, maintenance(&qd::ExportCommand));
    mnuAutoBackups = Named(file->addAction(QStringLiteral("打开自动备份文件夹")), "mnuAutoBackups");
    connect(mnuAutoBackups, &QAction::triggered, guard_, &TCaseFolderGuard::OpenBackupFolder);
    connect(guard_, &TCaseFolderGuard::damagedFound, this,
            [this] { OfferRestoreOfDamaged(MaintenanceOf()); });
    file->addSeparator();
    mnuClose = Named(file->addAction(QStringLiteral("关闭")), "mnuClose");
    connect(mnuClose, &QAction::triggered, this, &QWidget::close);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("辅助工具(&T)"));
    mnuDiLi = Named(tools->addAction(QStringLiteral("经纬度设置")), "mnuDiLi");
    connect(mnuDiLi, &QAction::triggered, this, [this] {
        TFrmDiLi dlg(appFolder_, this);
        dlg.exec();
    });
    mnuCalendar = Named(tools->addAction(QStringLiteral("万年历")), "mnuCalendar");
    connect(mnuCalendar, &QAction::triggered, this, &TFrmMain::CalendarClick);
    mnuKnowledge = Named(tools->addAction(QStringLiteral("相关知识")), "mnuKnowledge");
    connect(mnuKnowledge, &QAction::triggered, this, &TFrmMain::KnowledgeClick);

    QMenu* opt = menuBar()->addMenu(QStringLiteral("选项(&O)"));
    QMenu* mg = opt->addMenu(QStringLiteral("命稿设置"));
    mnuDefault = Named(mg->addAction(QStringLiteral("默认")), "mnuDefault");
    mnuFont = Named(mg->addAction(QStringLiteral("字体设置")), "mnuFont");
    mnuColor = Named(mg->addAction(QStringLiteral("背景色设置")), "mnuColor");
    connect(mnuDefault, &QAction::triggered, views_, &TResultViews::DefaultLookClick);
    connect(mnuFont, &QAction::triggered, views_, &TResultViews::FontClick);
    connect(mnuColor, &QAction::triggered, views_, &TResultViews::ColorClick);
    mnuSet = Named(opt->addAction(QStringLiteral("排盘设置")), "mnuSet");
    connect(mnuSet, &QAction::triggered, this, [this] {
        TFrmSet dlg(appFolder_, this);
        // The dialog writes [backup] of qdlinit.ini: the window's copy must
        // hold it before the close writes the file back.
        if (dlg.exec() == QDialog::Accepted && ini_) ini_->Reload();
    });
    Opt_Skin = Named(opt->addMenu(QStringLiteral("界面风格")), "Opt_Skin");
    skins_ = new TSkinMenu(Opt_Skin, appFolder_, this);
    connect(skins_, &TSkinMenu::skinApplied, views_, &TResultViews::ApplyViewLook);
    connect(skins_, &TSkinMenu::skinApplied, panel_, &TCastPanel::RefreshSaveKind);

    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    mnuHelp = Named(help->addAction(QStringLiteral("软件帮助")), "mnuHelp");
    connect(mnuHelp, &QAction::triggered, this, [this] {
        TFrmHelp dlg(this);
        dlg.exec();
    });
}

void TFrmMain::BuildTreeMenu() {
    PopGuaLi = Named(new QMenu(this), "PopGuaLi");
    MnuShowStyle = Named(PopGuaLi->addMenu(QStringLiteral("显示样式")), "MnuShowStyle");
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
    for (const char* t :
         {"时间降序（近-远）", "时间升序（远-近）", "姓氏升序（a-z）", "姓氏降序（z-a）", "无"}) {
        QAction* a = MnuShowStyle->addAction(QString::fromUtf8(t));
        a->setCheckable(true);
        a->setData(QPoint(2, n++));
        sortGroup_->addAction(a);
    }
    mnuOpenCase = Named(PopGuaLi->addAction(QStringLiteral("查看课例")), "mnuOpenCase");
    MnuMoveTo = Named(PopGuaLi->addMenu(QStringLiteral("移动到")), "MnuMoveTo");
    mnuDeleteCase = Named(PopGuaLi->addAction(QStringLiteral("删除课例")), "mnuDeleteCase");
    mnuEditClass = Named(PopGuaLi->addAction(QStringLiteral("编辑类别")), "mnuEditClass");
    PopGuaLi->addSeparator();
    mnuFuzzySearch = Named(PopGuaLi->addAction(QStringLiteral("模糊查找")), "mnuFuzzySearch");
    mnuSearch = Named(PopGuaLi->addAction(QStringLiteral("条件查找")), "mnuSearch");
    mnuShowAll = Named(PopGuaLi->addAction(QStringLiteral("显示全部课例")), "mnuShowAll");
    PopGuaLi->addSeparator();
    mnuRefresh = Named(PopGuaLi->addAction(QStringLiteral("刷新显示")), "mnuRefresh");
    PopGuaLi->addSeparator();
    mnuCaseCount = Named(PopGuaLi->addAction(CountText(0)), "mnuCaseCount");

    connect(mnuOpenCase, &QAction::triggered, cases_, &TCaseCommands::OpenSelectedCase);
    connect(mnuDeleteCase, &QAction::triggered, cases_, &TCaseCommands::DeleteSelectedCase);
    connect(MnuMoveTo, &QMenu::triggered, cases_,
            [this](QAction* a) { cases_->MoveSelectedCase(a->text()); });
    connect(mnuEditClass, &QAction::triggered, this, &TFrmMain::EditClassClick);
    connect(mnuFuzzySearch, &QAction::triggered, search_, &TCaseSearch::FuzzySearchClick);
    connect(mnuSearch, &QAction::triggered, search_, &TCaseSearch::SearchClick);
    connect(mnuShowAll, &QAction::triggered, tree_, &TCaseTree::ShowAllCasesClick);
    connect(mnuRefresh, &QAction::triggered, tree_, &TCaseTree::RefreshTree);

    connect(tree_, &TCaseTree::contextMenuRequested, this, [this](const QPoint& at) {
        FillMoveMenu();
        PopGuaLi->popup(at);
    });
    connect(tree_, &TCaseTree::caseActivated, cases_, &TCaseCommands::OpenSelectedCase);
    connect(tree_, &TCaseTree::countChanged, this,
            [this](int count) { mnuCaseCount->setText(CountText(count)); });
    connect(tree_, &TCaseTree::displayChanged, this, &TFrmMain::SyncStyleChecks);
    connect(tree_, &TCaseTree::loadingFinished, this, [this] {
        // The saved window state waits for the first full loading too.
        if (savedState_ == -1) return;
        ApplyWindowState(savedState_);
        savedState_ = -1;
    });
}

void TFrmMain::SyncStyleChecks() {
    const int sort = tree_->SortOrder();
    for (QAction* a : MnuShowStyle->actions()) {
        if (a->isSeparator()) continue;
        const QPoint d = a->data().toPoint();
        if (d.x() == 0) a->setChecked(d.y() == tree_->ShowStyle());
        if (d.x() == 2) a->setChecked(d.y() == (sort == kSortNone ? 5 : sort));
    }
}

void TFrmMain::ShowStyleClick(QAction* a) {
    const QPoint d = a->data().toPoint();
    // "无" is item 5 of its group and sort order 0.
    tree_->SetDisplay(d.x() == 0 ? d.y() : tree_->ShowStyle(),
                      d.x() == 2 ? (d.y() == 5 ? kSortNone : d.y()) : tree_->SortOrder());
    // A refusal leaves the checks where the click put them.
    SyncStyleChecks();
}

void TFrmMain::FillMoveMenu() {
    MnuMoveTo->clear();
    for (const QString& c : tree_->MoveTargets()) MnuMoveTo->addAction(c);
}

TMaintenance TFrmMain::MaintenanceOf() {
    return TMaintenance{this,          store_,         views_->ProgressView(),
                        tree_->Busy(), guard_->Lock(), [this] { WriteConfiguration(); }};
}

void TFrmMain::KnowledgeClick() {
    // Without a viewer for the document nothing would appear at all.
    const QString path = appFolder_ + "dat/Quadrelle.html";
    if (!QFileInfo::exists(path) || !Shell().OpenDocument(path))
        ShowBox(this, QStringLiteral("无法打开相关知识文档：") + QDir::toNativeSeparators(path),
                QStringLiteral("相关知识"), TMsgIcon::Warning);
}

void TFrmMain::EditClassClick() {
    // A change of the categories or of the cases' categories: the tree shows them anew.
    if (store_ && EditCategories(*store_, tree_->Busy(), this)) tree_->RefreshTree();
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
    panel_->FillLists();
    ReadConfiguration();
    session_.engine = std::make_unique<CQuadrellemp>();
    session_.engine->SetApplicationFolder(S(appFolder_));
    session_.engine->BindResultView(views_->ResultSink());
    OpenCaseStore();
    connect(styleGroup_, &QActionGroup::triggered, this, &TFrmMain::ShowStyleClick);
    connect(sortGroup_, &QActionGroup::triggered, this, &TFrmMain::ShowStyleClick);
    ApplyWindowState(savedState_);
}

void TFrmMain::ApplyWindowState(int state) {
    if (state == kWinMaximised)
        setWindowState(windowState() | Qt::WindowMaximized);
    else if (state == kWinMinimised)
        setWindowState(windowState() | Qt::WindowMinimized);
}

void TFrmMain::OpenCaseStore() {
    if (!store_) return;
    // Another program holds the folder: the store stays closed and the program ends.
    if (!guard_->TakeFolder()) return;
    const TOpenResult r = store_->OpenDatabase(S(appFolder_) + "dat/Quadrelle.db", S(appFolder_), true);
    if (r != TOpenResult::Opened) Notice(this, Q(store_->LastError()));
    const int last = store_->GetLastId();
    shownIds_.clear();
    for (int id = last; id >= 1 && int(shownIds_.size()) < 1000; --id) shownIds_.push_back(id);
    tree_->BuildTree(shownIds_);
    if (last > 1000)
        views_->AppendCommentNote(
            QStringLiteral("案例总数大致：%1个，可以在树表上按鼠标右键，点击“显示全部案例“").arg(last));
    guard_->StartIntegrityCheck();
}

void TFrmMain::ReadConfiguration() {
    panel_->ResetSelections();

    ini_ = std::make_unique<CIniFile>(S(appFolder_) + "dat/qdlinit.ini");
    SetFolderMemory(ini_.get());
    const TWindowConfig c = ReadWindowConfig(*ini_);
    skins_->Build(*ini_, c.skined, Q(c.skinname));

    savedState_ = c.state;
    setGeometry(c.left, c.top, c.width, c.height);

    QFont base(Q(c.fname));
    base.setPointSize(c.fsize);
    views_->SetBaseFont(base);
    views_->SetBackground(c.bcolor);

    SplitterH->setSizes({c.treewid, std::max(100, c.width - c.treewid - 123)});
    views_->SetCommentHeight(c.pinghei, std::max(c.height - 30 - 3, c.pinghei + 50));

    panel_->SelectPlace(c.sheng, c.shi);

    tree_->SetOrder(c.showStyle, c.sort);
    SyncStyleChecks();
}

void TFrmMain::ForgetFolders() {
    if (ini_ && FolderMemory() == ini_.get()) SetFolderMemory(nullptr);
}

int TFrmMain::TreeWidth() const { return SplitterH->sizes().value(0, tree_->width()); }
int TFrmMain::CommentHeight() const { return views_->CommentHeight(); }

// ---------------------------------------------------------------- cast, topics, calendar

void TFrmMain::SetPanelMoment(int year, int month, int day, int hour, int minute) {
    panel_->SetPanelMoment(year, month, day, hour, minute);
}

void TFrmMain::BtnPaiClick() { panel_->BtnPaiClick(); }

void TFrmMain::ShowTopic(int topic) {
    if (!session_.shown || !session_.engine) {
        ShowBox(this, QStringLiteral("请先排一个正确的盘"), QStringLiteral("排盘"), TMsgIcon::Information);
        return;
    }
    ShowTextWindow(QString::fromUtf8(TopicTitle(topic)), Q(TopicReading(session_.engine->State(), topic)));
}

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

void TFrmMain::CalendarClick() {
    const TDateTime r = session_.shown && session_.engine ? session_.engine->ClockMoment() : panel_->Moment();
    if (!FrmWnl) FrmWnl = new TFrmWnl(this, this);
    FrmWnl->Open(r);
    FrmWnl->show();
    FrmWnl->raise();
}

TFrmWnl* TFrmMain::CalendarWindow() const { return FrmWnl.data(); }

// ---------------------------------------------------------------- close

bool TFrmMain::FormCloseQuery() {
    if (tree_->Loading() &&
        !AskYes(this, QStringLiteral("是否停止显示案例？"), QStringLiteral("显示案例"), TMsgIcon::Warning)) {
        Notice(this, QStringLiteral("请等待案例加载完毕！"));
        return false;
    }
    // Stop and wait for a loading or a search now, so that saving a changed
    // comment below is not refused as busy.
    tree_->StopLoading();
    if (!AskYes(this, QStringLiteral("确定要关闭软件吗？"), QStringLiteral("关闭"), TMsgIcon::Information))
        return false;
    cases_->OfferToSave(QStringLiteral("当前评语文本已改变，要保存吗？"));
    return true;
}

void TFrmMain::WriteConfiguration() {
    if (!ini_) return;
    TWindowConfig c;
    const Qt::WindowStates st = windowState();
    c.state = (st & Qt::WindowMinimized)   ? kWinMinimised
              : (st & Qt::WindowMaximized) ? kWinMaximised
                                           : kWinNormal;
    const QRect g = geometry();
    c.left = g.x();
    c.top = g.y();
    c.width = g.width();
    c.height = g.height();
    const QFont f = views_->BaseFont();
    c.fname = S(f.family());
    c.fsize = f.pointSize() > 0 ? f.pointSize() : 12;
    c.bcolor = views_->Background();
    c.treewid = TreeWidth();
    c.pinghei = CommentHeight();
    c.sheng = panel_->Province();
    c.shi = panel_->City();
    c.showStyle = tree_->ShowStyle();
    c.sort = tree_->SortOrder();
    WriteWindowConfig(*ini_, c);
}

void TFrmMain::closeEvent(QCloseEvent* e) {
    // A refused start opened nothing and has nothing to save.
    if (guard_->Refused()) {
        e->accept();
        return;
    }
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    tree_->StopLoading();
    WriteConfiguration();
    if (ini_) guard_->BackupAtClose(ReadAutoBackupKeep(*ini_));
    CloseTextWindow();
    ForgetFolders();
    ini_.reset();
    if (session_.engine) session_.engine->BindResultView(nullptr);
    session_.engine.reset();
    e->accept();
}

}  // namespace qd
