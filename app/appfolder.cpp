#include "app/appfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QStandardPaths>

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

QString ApplicationFolder() {
    const QString exe = WithSlash(QCoreApplication::applicationDirPath());
    QFileInfo dir(exe);
    const bool writable = dir.isWritable() && (QFileInfo(exe + "dat").isWritable() || !QFileInfo::exists(exe + "dat"));
    // A program started from its build folder keeps its cases in the per-user
    // folder: cleaning or rebuilding the build folder must never take them.
    const bool buildFolder = QFileInfo::exists(exe + kBuildFolderMarker);
    if (writable && !buildFolder) return exe;
    const QString user = WithSlash(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    // The shipped files sit beside the executable or in the shared data folder.
    QString shipped = exe;
    if (!QFileInfo::exists(shipped + "dat"))
        shipped = WithSlash(QStandardPaths::locate(QStandardPaths::AppDataLocation, "dat", QStandardPaths::LocateDirectory) + "/..");
    SeedFolder(shipped + "dat", user + "dat");
    SeedFolder(shipped + "skins", user + "skins");
    QDir().mkpath(user + "dat");
    return user;
}

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

}  // namespace qd
