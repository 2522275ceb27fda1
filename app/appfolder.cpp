// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/appfolder.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>

// The build defines QD_SHARE_FROM_BIN, where the shipped defaults lie as
// installed relative to the program's bin/ folder ("../share/quadrelle"),
// and QD_DESKTOP_ID, the id of the desktop entry and the icon.

namespace qd {

static QString WithSlash(QString p) {
    if (!p.endsWith('/')) p += '/';
    return p;
}

void SeedFolder(const QString& from, const QString& to) {
    QDir src(from);
    if (!src.exists()) return;
    QDir().mkpath(to);
    for (const QFileInfo& fi : src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + '/' + fi.fileName();
        if (fi.isDir())
            SeedFolder(fi.filePath(), target);
        else if (!QFileInfo::exists(target))
            QFile::copy(fi.filePath(), target);
    }
}

const char* const kBuildFolderMarker = "quadrelle.buildfolder";
const char* const kDesktopId = QD_DESKTOP_ID;

QString ShippedFolder(const QString& exeFolder) {
    const QString exe = WithSlash(exeFolder);
    if (QFileInfo::exists(exe + "dat")) return exe;
    const QString share = WithSlash(QDir::cleanPath(exe + QStringLiteral(QD_SHARE_FROM_BIN)));
    if (QFileInfo::exists(share + "dat")) return share;
    const QString system = QStandardPaths::locate(QStandardPaths::GenericDataLocation, "quadrelle/dat",
                                                  QStandardPaths::LocateDirectory);
    return system.isEmpty() ? QString() : WithSlash(QFileInfo(system).path());
}

QString ApplicationFolder(const QString& exeFolder) {
    const QString exe = WithSlash(exeFolder);
    // Only a program folder that carries its own dat/ is used in place: an
    // installed program (bin/ writable or not) has none and must not start
    // writing beside itself. A program started from its build folder keeps
    // its cases in the per-user folder too: cleaning or rebuilding the build
    // folder must never take them.
    const QFileInfo dat(exe + "dat");
    const bool portable = QFileInfo(exe).isWritable() && dat.isDir() && dat.isWritable() &&
                          !QFileInfo::exists(exe + kBuildFolderMarker);
    if (portable) return exe;
    const QString user = WithSlash(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    const QString shipped = ShippedFolder(exe);
    if (!shipped.isEmpty()) {
        SeedFolder(shipped + "dat", user + "dat");
        SeedFolder(shipped + "skins", user + "skins");
    }
    QDir().mkpath(user + "dat");
    return user;
}

QString ApplicationFolder() { return ApplicationFolder(QCoreApplication::applicationDirPath()); }

void InstallFontSubstitutes() {
    // AR PL UMing is a Song (Ming) face like 宋体 and, like it, gives a blank
    // half the width of a Chinese character, so the chart's blank-padded
    // columns line up; Noto Serif CJK is the fallback.
    const QStringList serif{"AR PL UMing CN", "Noto Serif CJK SC", "Noto Serif CJK", "Noto Sans CJK SC",
                            "WenQuanYi Micro Hei"};
    const QStringList sans{"Noto Sans CJK SC", "Noto Sans CJK", "WenQuanYi Micro Hei", "Noto Serif CJK SC"};
    for (const char* n : {"宋体", "新宋体", "SimSun", "NSimSun", "仿宋", "楷体", "FangSong", "KaiTi"})
        QFont::insertSubstitutions(QString::fromUtf8(n), serif);
    for (const char* n : {"黑体", "微软雅黑", "SimHei", "Microsoft YaHei"})
        QFont::insertSubstitutions(QString::fromUtf8(n), sans);
}

bool InstallQtTranslations(QApplication& app) {
    // The program's own texts are Chinese whatever the system's language, so
    // Qt's texts follow them rather than the locale.
    auto* qt = new QTranslator(&app);
    if (!qt->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    QCoreApplication::installTranslator(qt);
    return true;
}

void InstallDesktopIdentity(QApplication& app) {
    // The desktop entry's id lets Wayland compositors find the entry, and
    // with it the name and icon, for the program's windows.
    app.setDesktopFileName(QString::fromLatin1(kDesktopId));
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icons"), {QStringLiteral("*.png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (sizes.hasNext()) icon.addFile(sizes.next());
    app.setWindowIcon(icon);
}

}  // namespace qd
