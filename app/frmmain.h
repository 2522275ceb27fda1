// TFrmMain: the main window. The case tree on the left, the toolbar, result
// view and comment view in the middle, the cast input panel on the right;
// the menus; the configuration dat/qdlinit.ini read at show and written
// back at close.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <vector>

#include "app/castpanel.h"
#include "app/castsession.h"
#include "app/casetree.h"
#include "app/richtext_qt.h"
#include "app/widgets.h"
#include "base/inifile.h"
#include "engine/quadrellemp.h"
#include "engine/request.h"
#include "store/criteria.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSplitter;
class QTextEdit;
class QToolBar;
class QToolButton;
class QTreeWidget;

namespace qd {

class MRecordBase;
class TFrmWnl;




class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    // `appFolder` ends with '/'; every file path is relative to it.
    // `store` is the program-wide case store (may be null: no case file).
    explicit TFrmMain(const QString& appFolder, MRecordBase* store = nullptr, QWidget* parent = nullptr);
    ~TFrmMain() override;

    const QString& AppFolder() const { return appFolder_; }

    // The cast input panel.
    TCastPanel& Panel() const { return *panel_; }
    // The panel's moment and cast, for the screenshot hook of the entry point.
    void SetPanelMoment(int year, int month, int day, int hour, int minute);
    void BtnPaiClick();
    void ShowTopic(int topic);

    // Views and options.
    void ShowTextWindow(const QString& title, const QString& text);
    void CloseTextWindow();
    TFrmText* TextWindow() const { return FrmText; }
    // "万年历": the calendar window, created on first use and kept while open.
    void CalendarClick();
    TFrmWnl* CalendarWindow() const;
    bool ImportFile(const QString& path);
    bool SaveViewAs(QTextEdit* view, const QString& pathWithoutExtension, bool rtf);
    bool PrintView(QTextEdit* view, QPrinter* printer);
    void SetSelectionFont(QTextEdit* view);
    void SetBaseFont(const QFont& font);
    void SetBackground(TColor color);
    TColor Background() const { return bcolor_; }
    void ChooseSkin(QAction* item);
    QString CommentPlainText();

    bool CastShown() const { return session_.shown; }
    CQuadrellemp* Engine() const { return session_.engine.get(); }
    const TRecordData& Record() const { return session_.record; }
    int TreeWidth() const;
    int CommentHeight() const;
    // Ids of the cases the tree is built from at start (the highest 1000).
    const std::vector<int>& StartIds() const { return shownIds_; }
    // "编辑类别"; a change refreshes the tree through CategoriesChanged.
    void EditClassClick();
    void CategoriesChanged();

    // The case tree.
    TCaseTree& CaseTree() const { return *tree_; }
    // A right click in the tree fills the "移动到" submenu.
    void FillMoveMenu();
    void MoveSelectedCase(const QString& category);
    void SaveCurrentCase();
    void NewCase();
    void OpenSelectedCase();
    void DeleteSelectedCase();
    // "模糊查找" and "条件查找"; the picked hit joins the tree and is opened.
    void FuzzySearchClick();
    void SearchClick();
    void ShowHits(const std::vector<int>& hits);
    TSearchCriteria& Criteria() { return criteria_; }
    bool StoredCase() const { return storedCase_; }
    int CurrentCaseId() const { return currentId_; }
    const QString& CommentFilePath() const { return commentPath_; }

    // Components, named as the handlers name them.
    QSplitter* SplitterH = nullptr;
    QSplitter* SplitterV = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QTextEdit* RedtVelmark = nullptr;
    QTextEdit* RedtPingYu = nullptr;
    QAction *TbtoOne1 = nullptr, *TbtoOne2 = nullptr, *TbtoTwo1 = nullptr, *TbtoTwo2 = nullptr;
    QMenu* Opt_Skin = nullptr;
    QMenu *PopRdtqdl = nullptr, *PopPingYu = nullptr, *PopGuaLi = nullptr;
    QMenu* MnuShowStyle = nullptr;
    QAction *mnuClose = nullptr, *mnuDiLi = nullptr, *mnuCalendar = nullptr, *mnuKnowledge = nullptr;
    QAction *mnuDefault = nullptr, *mnuFont = nullptr, *mnuColor = nullptr, *mnuSet = nullptr, *mnuHelp = nullptr;
    QAction* mnuSave = nullptr;
    // Case file maintenance (File menu) and category editing (tree menu).
    QAction *mnuRestore = nullptr, *mnuBackup = nullptr, *mnuDeleteAll = nullptr, *mnuCompact = nullptr;
    QAction *mnuImportDb = nullptr, *mnuExportDb = nullptr, *mnuEditClass = nullptr;
    QMenu* MnuMoveTo = nullptr;
    QAction *mnuOpenCase = nullptr, *mnuDeleteCase = nullptr, *mnuShowAll = nullptr, *mnuRefresh = nullptr,
            *mnuCaseCount = nullptr;
    QAction *mnuFuzzySearch = nullptr, *mnuSearch = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void BuildLayout();
    void BuildMenus();
    void BuildViewMenus();
    void FormShow();
    void ReadConfiguration();
    void BuildSkinList();
    void ApplySkin(const QString& path, bool on);
    void OpenCaseStore();
    void ShowStyleClick(QAction* a);
    bool FormCloseQuery();
    void WriteConfiguration();
    void ApplyViewLook();
    void SaveAsCommand(QTextEdit* view);
    void PrintCommand(QTextEdit* view, bool ask);
    void ImportCommand();

    QString appFolder_;
    TCastSession session_;
    TCastPanel* panel_ = nullptr;
    MRecordBase* store_ = nullptr;
    std::vector<int> shownIds_;
    std::unique_ptr<CIniFile> ini_;
    CQtRichTextSink* sink_ = nullptr;
    std::unique_ptr<CQtRichTextSink> sinkOwner_;
    bool storedCase_ = false;
    bool shown_ = false;
    int savedState_ = 0;
    TColor bcolor_ = 0xC0CCD0;
    QPointer<TFrmText> FrmText;
    QPointer<TFrmWnl> FrmWnl;
    QActionGroup* skinGroup_ = nullptr;
    QActionGroup *styleGroup_ = nullptr, *sortGroup_ = nullptr;

    // Case tree and stored cases.
    void BuildTreeMenu();
    void ApplyWindowState(int state);
    void SyncStyleChecks();
    bool WriteCommentFile(const QString& path);
    int currentId_ = 0;
    QString commentPath_;
    TRecordData storedCopy_;
    TCaseTree* tree_ = nullptr;
    TSearchCriteria criteria_{};
};

}  // namespace qd
