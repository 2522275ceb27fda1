// SPDX-License-Identifier: GPL-3.0-or-later
// TCaseCommands: the link between the case on screen and the case store.
// Saving it as a new case or over the stored case it came from, starting a
// new case, opening a case from the tree (which restores the input panel
// and casts again), deleting a case with its comment file, and moving a
// case to another category. Every command refuses while the tree loads.
#pragma once

#include <QObject>
#include <QString>

#include "engine/request.h"

class QWidget;

namespace qd {

class MRecordBase;
class TCaseTree;
class TCastPanel;
class TResultViews;
struct TCastSession;

class TCaseCommands : public QObject {
    Q_OBJECT
public:
    // `store` may be null (no case file); messages go to `window`, which
    // also owns the commands.
    TCaseCommands(MRecordBase* store, TCastSession& session, TCastPanel& panel, TCaseTree& tree,
                  TResultViews& views, QWidget* window);

    // "保存课例", "存新"/"存旧": a new case after the category choice, or an
    // update of the stored case on screen; a stored case cast again at
    // another moment asks which.
    void SaveCurrentCase();
    // "新建".
    void NewCase();
    // "查看课例" and a double click: the selected case on screen, cast again.
    void OpenSelectedCase();
    // "删除课例".
    void DeleteSelectedCase();
    // A "移动到" item: the tree's movable case into `category`.
    void MoveSelectedCase(const QString& category);
    // While a stored case is on screen and its comment changed, asks
    // `question` and saves on Yes.
    void OfferToSave(const QString& question);

    // True while the case on screen is a stored case.
    bool StoredCase() const { return storedCase_; }
    int CurrentCaseId() const { return currentId_; }
    // The RTF comment file of the case on screen.
    const QString& CommentFilePath() const { return commentPath_; }

private:
    bool WriteCommentFile(const QString& path);
    void RemoveCommentFile(const QString& path);
    // The two ways of saving the request on screen.
    void UpdateStoredCase(TRecordData& record);
    void SaveAsNewCase(TRecordData& record);

    MRecordBase* store_;
    TCastSession& session_;
    TCastPanel& panel_;
    TCaseTree& tree_;
    TResultViews& views_;
    QWidget* window_;
    bool storedCase_ = false;
    int currentId_ = 0;
    QString commentPath_;
    // The case as last read from or written to the store.
    TRecordData storedCopy_;
};

}  // namespace qd
