// SPDX-License-Identifier: GPL-3.0-or-later
// TFrmMain: the main window. It lays out its parts (the case tree on the
// left, the toolbar, result view and comment view in the middle, the cast
// input panel on the right), owns the menus and wires them to the parts,
// reads dat/qdlinit.ini at the show step and writes it back at close.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <vector>

#include "app/casecommands.h"
#include "app/casesearch.h"
#include "app/casetree.h"
#include "app/castpanel.h"
#include "app/castsession.h"
#include "app/resultviews.h"
#include "app/widgets.h"

class QAction;
class QActionGroup;
class QMenu;
class QSplitter;
class QToolBar;

namespace qd {

class CIniFile;
class MRecordBase;
class TCaseFolderGuard;
struct TMaintenance;
class TFrmWnl;
class TSkinMenu;

class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    // `appFolder` ends with '/'; every file path is relative to it.
    // `store` is the program-wide case store (may be null: no case file).
    explicit TFrmMain(const QString& appFolder, MRecordBase* store = nullptr, QWidget* parent = nullptr);
    ~TFrmMain() override;

    const QString& AppFolder() const { return appFolder_; }

    // The parts.
    TCastPanel& Panel() const { return *panel_; }
    TCaseTree& CaseTree() const { return *tree_; }
    TResultViews& Views() const { return *views_; }
    TCaseCommands& Cases() const { return *cases_; }
    TCaseSearch& Search() const { return *search_; }
    // The case folder's lock, integrity check and automatic backups.
    TCaseFolderGuard& Guard() const { return *guard_; }

    // The panel's moment and cast, for the screenshot hook of the entry point.
    void SetPanelMoment(int year, int month, int day, int hour, int minute);
    void BtnPaiClick();

    // The cast on screen.
    bool CastShown() const { return session_.shown; }
    CQuadrellemp* Engine() const { return session_.engine.get(); }
    const TRecordData& Record() const { return session_.record; }

    // A topic reading of the cast on screen, in the text window.
    void ShowTopic(int topic);
    void ShowTextWindow(const QString& title, const QString& text);
    void CloseTextWindow();
    TFrmText* TextWindow() const { return FrmText; }
    // "万年历": the calendar window, created on first use and kept while open.
    void CalendarClick();
    TFrmWnl* CalendarWindow() const;

    int TreeWidth() const;
    int CommentHeight() const;
    // Ids of the cases the tree is built from at start (the highest 1000).
    const std::vector<int>& StartIds() const { return shownIds_; }
    // A right click in the tree fills the "移动到" submenu.
    void FillMoveMenu();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void BuildLayout();
    void BuildMenus();
    void BuildTreeMenu();
    void FormShow();
    void ReadConfiguration();
    void OpenCaseStore();
    void ApplyWindowState(int state);
    bool FormCloseQuery();
    void WriteConfiguration();
    // The file dialogs stop keeping their folders in this window's configuration.
    void ForgetFolders();
    void ShowStyleClick(QAction* a);
    void SyncStyleChecks();
    void EditClassClick();
    // What the File menu's commands work on.
    TMaintenance MaintenanceOf();
    // "相关知识": the document in the system's viewer.
    void KnowledgeClick();

    QString appFolder_;
    MRecordBase* store_ = nullptr;
    TCastSession session_;
    std::unique_ptr<CIniFile> ini_;
    int savedState_ = 0;  // [winpos] state, until applied after the first full loading
    bool shown_ = false;
    std::vector<int> shownIds_;

    // The parts.
    TCaseTree* tree_ = nullptr;
    TResultViews* views_ = nullptr;
    TCastPanel* panel_ = nullptr;
    TCaseCommands* cases_ = nullptr;
    TCaseSearch* search_ = nullptr;
    TSkinMenu* skins_ = nullptr;
    TCaseFolderGuard* guard_ = nullptr;
    QPointer<TFrmText> FrmText;
    QPointer<TFrmWnl> FrmWnl;

    // Layout and menus.
    QSplitter* SplitterH = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QAction *TbtoOne1 = nullptr, *TbtoOne2 = nullptr, *TbtoTwo1 = nullptr, *TbtoTwo2 = nullptr;
    QMenu* Opt_Skin = nullptr;
    QMenu *PopGuaLi = nullptr, *MnuShowStyle = nullptr, *MnuMoveTo = nullptr;
    QActionGroup *styleGroup_ = nullptr, *sortGroup_ = nullptr;
    QAction *mnuSave = nullptr, *mnuClose = nullptr;
    QAction *mnuRestore = nullptr, *mnuBackup = nullptr, *mnuDeleteAll = nullptr, *mnuCompact = nullptr;
    QAction *mnuImportDb = nullptr, *mnuExportDb = nullptr, *mnuAutoBackups = nullptr;
    QAction *mnuDiLi = nullptr, *mnuCalendar = nullptr, *mnuKnowledge = nullptr;
    QAction *mnuDefault = nullptr, *mnuFont = nullptr, *mnuColor = nullptr, *mnuSet = nullptr,
            *mnuHelp = nullptr;
    QAction *mnuOpenCase = nullptr, *mnuDeleteCase = nullptr, *mnuEditClass = nullptr;
    QAction *mnuFuzzySearch = nullptr, *mnuSearch = nullptr, *mnuShowAll = nullptr, *mnuRefresh = nullptr,
            *mnuCaseCount = nullptr;
};

}  // namespace qd
