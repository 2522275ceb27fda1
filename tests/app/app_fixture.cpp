#include "app_fixture.h"

#include <QDir>
#include <QFile>

namespace qdtest {

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
