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
#include "app/casetree.h"
#include "app/dialogs.h"
#include "app/docconv.h"
#include "app/frmeditclass.h"
#include "app/frmwnl.h"
#include "app/maintenance.h"
#include "app/messages.h"
#include "app/places.h"
#include "app/widgets.h"
#include "app/winconfig.h"
#include "base/encoding.h"
#include "base/rtf.h"
#include "base/textclean.h"
#include "engine/ganzhi.h"
#include "engine/topics.h"
#include "store/record_base.h"

namespace qd {

static QString Q(const std::string& s) { return QString::fromStdString(s); }
static std::string S(const QString& s) { return s.toStdString(); }

TFrmMain::TFrmMain(const QString& appFolder, MRecordBase* store, QWidget* parent)
    : QMainWindow(parent), appFolder_(appFolder), store_(store) {
    if (!appFolder_.endsWith('/')) appFolder_ += '/';
    setWindowTitle(AppTitle());
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(14);
    setFont(f);
    BuildLayout();
    BuildMenus();
    BuildViewMenus();
    resize(952, 741);
    RedtVelmark->clear();
}

TFrmMain::~TFrmMain() {
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
    SplitterH->addWidget(tree_);
    SplitterH->addWidget(panel1);
    SplitterH->setStretchFactor(0, 0);
    SplitterH->setStretchFactor(1, 1);
    row->addWidget(SplitterH, 1);

    sinkOwner_ = std::make_unique<CQtRichTextSink>(RedtVelmark);
    sink_ = sinkOwner_.get();

    panel_ = new TCastPanel(appFolder_, session_, this);
    connect(panel_, &TCastPanel::castSucceeded, this, &TFrmMain::CloseTextWindow);
    connect(panel_, &TCastPanel::topicRequested, this, &TFrmMain::ShowTopic);
    connect(panel_, &TCastPanel::saveRequested, this, &TFrmMain::SaveCurrentCase);
    connect(panel_, &TCastPanel::newCaseRequested, this, &TFrmMain::NewCase);
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
}

// ---------------------------------------------------------------- menus

void TFrmMain::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    mnuSave = file->addAction(QStringLiteral("保存课例"));
    connect(mnuSave, &QAction::triggered, this, &TFrmMain::SaveCurrentCase);
    file->addSeparator();
    mnuRestore = file->addAction(QStringLiteral("还原案例数据"));
    mnuBackup = file->addAction(QStringLiteral("备份案例数据"));
    mnuDeleteAll = file->addAction(QStringLiteral("删除案例数据"));
    mnuCompact = file->addAction(QStringLiteral("整理数据"));
    QMenu* io = file->addMenu(QStringLiteral("导入导出"));
    mnuImportDb = io->addAction(QStringLiteral("添加db文件"));
    mnuExportDb = io->addAction(QStringLiteral("导出db文件"));
    const auto maintenance = [this](bool (*command)(const TMaintenance&)) {
        return [this, command] { command(TMaintenance{this, store_, RedtPingYu, tree_->Busy()}); };
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

    BuildTreeMenu();
}

void TFrmMain::BuildTreeMenu() {
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
    mnuOpenCase = PopGuaLi->addAction(QStringLiteral("查看课例"));
    MnuMoveTo = PopGuaLi->addMenu(QStringLiteral("移动到"));
    mnuDeleteCase = PopGuaLi->addAction(QStringLiteral("删除课例"));
    mnuEditClass = PopGuaLi->addAction(QStringLiteral("编辑类别"));
    PopGuaLi->addSeparator();
    mnuFuzzySearch = PopGuaLi->addAction(QStringLiteral("模糊查找"));
    mnuSearch = PopGuaLi->addAction(QStringLiteral("条件查找"));
    mnuShowAll = PopGuaLi->addAction(QStringLiteral("显示全部课例"));
    PopGuaLi->addSeparator();
    mnuRefresh = PopGuaLi->addAction(QStringLiteral("刷新显示"));
    PopGuaLi->addSeparator();
    mnuCaseCount = PopGuaLi->addAction(CountText(0));

    connect(mnuOpenCase, &QAction::triggered, this, &TFrmMain::OpenSelectedCase);
    connect(mnuDeleteCase, &QAction::triggered, this, &TFrmMain::DeleteSelectedCase);
    connect(mnuEditClass, &QAction::triggered, this, &TFrmMain::EditClassClick);
    connect(mnuShowAll, &QAction::triggered, tree_, &TCaseTree::ShowAllCasesClick);
    connect(mnuFuzzySearch, &QAction::triggered, this, &TFrmMain::FuzzySearchClick);
    connect(mnuSearch, &QAction::triggered, this, &TFrmMain::SearchClick);
    connect(mnuRefresh, &QAction::triggered, tree_, &TCaseTree::RefreshTree);
    connect(MnuMoveTo, &QMenu::triggered, this, [this](QAction* a) { MoveSelectedCase(a->text()); });
    connect(tree_, &TCaseTree::contextMenuRequested, this, [this](const QPoint& at) {
        FillMoveMenu();
        PopGuaLi->popup(at);
    });
    connect(tree_, &TCaseTree::caseActivated, this, &TFrmMain::OpenSelectedCase);
    connect(tree_, &TCaseTree::countChanged, this, [this](int n) { mnuCaseCount->setText(CountText(n)); });
    connect(tree_, &TCaseTree::displayChanged, this, &TFrmMain::SyncStyleChecks);
    connect(tree_, &TCaseTree::loadingFinished, this, [this] {
        // The saved window state waits for the first full loading too.
        if (savedState_ == -1) return;
        ApplyWindowState(savedState_);
        savedState_ = -1;
    });
}

void TFrmMain::SyncStyleChecks() {
    for (QAction* a : MnuShowStyle->actions()) {
        if (a->isSeparator()) continue;
        const QPoint d = a->data().toPoint();
        if (d.x() == 0) a->setChecked(d.y() == tree_->ShowStyle());
        if (d.x() == 2) a->setChecked(d.y() == (tree_->SortOrder() == 0 ? 5 : tree_->SortOrder()));
    }
}

void TFrmMain::FillMoveMenu() {
    MnuMoveTo->clear();
    for (const QString& c : tree_->MoveTargets()) MnuMoveTo->addAction(c);
}

void TFrmMain::EditClassClick() {
    if (store_ && EditCategories(*store_, tree_->Busy(), this)) CategoriesChanged();
}

// The categories or the cases' categories changed: the tree shows them anew.
void TFrmMain::CategoriesChanged() { tree_->RefreshTree(); }

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
    panel_->FillLists();
    ReadConfiguration();
    session_.engine = std::make_unique<CQuadrellemp>();
    session_.engine->SetApplicationFolder(S(appFolder_));
    session_.engine->BindResultView(sink_);
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
    const int r = store_->OpenDatabase(S(appFolder_) + "dat/Quadrelle.db", S(appFolder_), true);
    if (r != 0) Notice(this, Q(store_->LastError()));
    const int last = store_->GetLastId();
    shownIds_.clear();
    for (int id = last; id >= 1 && int(shownIds_.size()) < 1000; --id) shownIds_.push_back(id);
    tree_->BuildTree(shownIds_);
    if (last > 1000) {
        RedtPingYu->setPlainText(RedtPingYu->toPlainText() + QStringLiteral("\n\n") +
                                 QStringLiteral("案例总数大致：%1个，可以在树表上按鼠标右键，点击“显示全部案例“").arg(last));
        RedtPingYu->document()->setModified(false);
    }
}

void TFrmMain::ReadConfiguration() {
    panel_->ResetSelections();

    ini_ = std::make_unique<CIniFile>(S(appFolder_) + "dat/qdlinit.ini");
    const TWindowConfig c = ReadWindowConfig(*ini_);
    BuildSkinList();
    if (c.skined) {
        const QString name = Q(c.skinname);
        for (QAction* a : Opt_Skin->actions()) a->setChecked(a->text() == name);
        ApplySkin(appFolder_ + "skins/" + name + ".skn", true);
    } else {
        ApplySkin(QString(), false);
        const QList<QAction*> items = Opt_Skin->actions();
        if (items.size() >= 2) items.last()->setChecked(true);
    }

    savedState_ = c.state;
    setGeometry(c.left, c.top, c.width, c.height);

    QFont base(Q(c.fname));
    base.setPointSize(c.fsize);
    SetBaseFont(base);
    SetBackground(c.bcolor);

    SplitterH->setSizes({c.treewid, std::max(100, c.width - c.treewid - 123)});
    const int viewTotal = std::max(c.height - 30 - 3, c.pinghei + 50);
    SplitterV->setSizes({viewTotal - c.pinghei, c.pinghei});

    panel_->SelectPlace(c.sheng, c.shi);

    tree_->SetOrder(c.showStyle, c.sort);
    SyncStyleChecks();
}

void TFrmMain::ShowStyleClick(QAction* a) {
    const QPoint d = a->data().toPoint();
    tree_->SetDisplay(d.x() == 0 ? d.y() : tree_->ShowStyle(), d.x() == 2 ? (d.y() == 5 ? 0 : d.y()) : tree_->SortOrder());
    // A refusal leaves the checks where the click put them.
    SyncStyleChecks();
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
        WriteSkinOff(*ini_);
        return;
    }
    const QString path = appFolder_ + "skins/" + item->text() + ".skn";
    if (!QFileInfo::exists(path)) {
        Notice(this, QStringLiteral("对应的皮肤文件已经丢失，请关闭软件，再重新打开软件！"));
        return;
    }
    ApplySkin(path, true);
    WriteSkinChoice(*ini_, S(item->text()));
}

// ---------------------------------------------------------------- panel

void TFrmMain::SetPanelMoment(int year, int month, int day, int hour, int minute) {
    panel_->SetPanelMoment(year, month, day, hour, minute);
}

void TFrmMain::BtnPaiClick() { panel_->BtnPaiClick(); }

void TFrmMain::CalendarClick() {
    const TDateTime r = session_.shown && session_.engine ? session_.engine->ClockMoment() : panel_->Moment();
    if (!FrmWnl) FrmWnl = new TFrmWnl(this, this);
    FrmWnl->Open(r);
    FrmWnl->show();
    FrmWnl->raise();
}

TFrmWnl* TFrmMain::CalendarWindow() const { return FrmWnl.data(); }

void TFrmMain::ShowTopic(int topic) {
    if (!session_.shown || !session_.engine) {
        ShowBox(this, QStringLiteral("请先排一个正确的盘"), QStringLiteral("排盘"), TMsgIcon::Information);
        return;
    }
    ShowTextWindow(QString::fromUtf8(TopicTitle(topic)), Q(TopicReading(session_.engine->State(), topic)));
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

int TFrmMain::TreeWidth() const { return SplitterH->sizes().value(0, tree_->width()); }
int TFrmMain::CommentHeight() const { return SplitterV->sizes().value(1, RedtPingYu->height()); }

// ---------------------------------------------------------------- close

bool TFrmMain::FormCloseQuery() {
    if (tree_->Busy()) {
        if (!AskYes(this, QStringLiteral("是否停止显示案例？"), QStringLiteral("显示案例"), TMsgIcon::Warning)) {
            Notice(this, QStringLiteral("请等待案例加载完毕！"));
            return false;
        }
        // Stop and wait for the loading now, so that saving a changed comment
        // below is not refused as busy.
        tree_->StopLoading();
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
    TWindowConfig c;
    const Qt::WindowStates st = windowState();
    c.state = (st & Qt::WindowMinimized) ? kWinMinimised : (st & Qt::WindowMaximized) ? kWinMaximised : kWinNormal;
    const QRect g = geometry();
    c.left = g.x();
    c.top = g.y();
    c.width = g.width();
    c.height = g.height();
    const QFont f = RedtVelmark->font();
    c.fname = S(f.family());
    c.fsize = f.pointSize() > 0 ? f.pointSize() : 12;
    c.bcolor = bcolor_;
    c.treewid = TreeWidth();
    c.pinghei = CommentHeight();
    c.sheng = panel_->Province();
    c.shi = panel_->City();
    c.showStyle = tree_->ShowStyle();
    c.sort = tree_->SortOrder();
    WriteWindowConfig(*ini_, c);
}

void TFrmMain::closeEvent(QCloseEvent* e) {
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    tree_->StopLoading();
    WriteConfiguration();
    CloseTextWindow();
    ini_.reset();
    if (session_.engine) session_.engine->BindResultView(nullptr);
    session_.engine.reset();
    e->accept();
}

}  // namespace qd
