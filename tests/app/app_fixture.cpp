// SPDX-License-Identifier: GPL-3.0-or-later

#include "app_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>

#include "app/widgets.h"
#include "base/encoding.h"

namespace qdtest {

TMainUi::TMainUi(const QWidget& w)
    : EdtYear(Find<QLineEdit>(w, "EdtYear")),
      EdtName(Find<QLineEdit>(w, "EdtName")),
      EdtEvent(Find<QLineEdit>(w, "EdtEvent")),
      UpYear(Find<qd::TUpDown>(w, "UpYear")),
      CboM(Find<QComboBox>(w, "CboM")),
      CboD(Find<QComboBox>(w, "CboD")),
      CboH(Find<QComboBox>(w, "CboH")),
      CboMinute(Find<QComboBox>(w, "CboMinute")),
      CboProv(Find<QComboBox>(w, "CboProv")),
      CboCity(Find<QComboBox>(w, "CboCity")),
      CboGuiShen(Find<QComboBox>(w, "CboGuiShen")),
      CboDiFen(Find<QComboBox>(w, "CboDiFen")),
      CboSelJiang(Find<QComboBox>(w, "CboSelJiang")),
      RdoGong(Find<QRadioButton>(w, "RdoGong")),
      RdoNong(Find<QRadioButton>(w, "RdoNong")),
      ChkRun(Find<QCheckBox>(w, "ChkRun")),
      SbtoSave(Find<QToolButton>(w, "SbtoSave")),
      Tree(Find<QTreeView>(w, "Tree")),
      RedtVelmark(Find<QTextEdit>(w, "RedtVelmark")),
      RedtPingYu(Find<QTextEdit>(w, "RedtPingYu")),
      Opt_Skin(Find<QMenu>(w, "Opt_Skin")),
      PopRdtqdl(Find<QMenu>(w, "PopRdtqdl")),
      PopPingYu(Find<QMenu>(w, "PopPingYu")),
      PopGuaLi(Find<QMenu>(w, "PopGuaLi")),
      MnuShowStyle(Find<QMenu>(w, "MnuShowStyle")),
      MnuMoveTo(Find<QMenu>(w, "MnuMoveTo")),
      mnuSave(Find<QAction>(w, "mnuSave")),
      mnuCalendar(Find<QAction>(w, "mnuCalendar")),
      mnuDefault(Find<QAction>(w, "mnuDefault")),
      mnuRestore(Find<QAction>(w, "mnuRestore")),
      mnuBackup(Find<QAction>(w, "mnuBackup")),
      mnuDeleteAll(Find<QAction>(w, "mnuDeleteAll")),
      mnuCompact(Find<QAction>(w, "mnuCompact")),
      mnuImportDb(Find<QAction>(w, "mnuImportDb")),
      mnuExportDb(Find<QAction>(w, "mnuExportDb")),
      mnuFuzzySearch(Find<QAction>(w, "mnuFuzzySearch")),
      mnuSearch(Find<QAction>(w, "mnuSearch")) {}

qd::TRecordData CaseRecord(const std::string& name, int y, int mo, int d, int h, int mi,
                           const std::string& category) {
    qd::TRecordData r = qd::MakeRecordData();
    r.request.filled = 1;
    qd::WriteGbkField(r.request.name, name);
    qd::WriteGbkField(r.request.question, "问事");
    qd::WriteGbkField(r.request.place, "未知地");
    r.request.year = int16_t(y);
    r.request.month = int16_t(mo);
    r.request.day = int16_t(d);
    r.request.hour = int16_t(h);
    r.request.minute = int16_t(mi);
    r.request.earth = 1;
    r.category = category;
    r.commentFile = name + "_f";
    return r;
}

QString NewAppFolder(const QTemporaryDir& dir, bool places, bool skins) {
    const QString root = dir.path() + '/';
    QDir().mkpath(root + "dat");
    if (places) QFile::copy(QStringLiteral(QD_SOURCE_DIR "/data/dat/dili.ini"), root + "dat/dili.ini");
    if (skins) {
        QDir().mkpath(root + "skins");
        for (const QString& f : QDir(QStringLiteral(QD_SOURCE_DIR "/data/skins")).entryList({"*.skn"}))
            QFile::copy(QStringLiteral(QD_SOURCE_DIR "/data/skins/") + f, root + "skins/" + f);
    }
    return root;
}

QString ReadFileText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(f.readAll());
}

void WriteFileText(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

}  // namespace qdtest
