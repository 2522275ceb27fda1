// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program keeps its files, and how it presents itself to the
// desktop: the fonts its texts are set in, Qt's own texts in Chinese, the
// icon and the desktop entry.
#pragma once

#include <QString>

class QApplication;

namespace qd {

// The marker file the build writes beside the program it builds.
extern const char* const kBuildFolderMarker;
// The reverse-DNS id of the desktop entry, the metainfo and the icon.
extern const char* const kDesktopId;

// The application folder of a program in `exeFolder`: that folder itself
// when it holds a writable dat/ and no build marker (a portable copy of the
// program folder); otherwise the per-user data folder, seeded from the
// shipped dat/ and skins/ that ShippedFolder finds. An installed program
// therefore never writes beside itself or into share/. Always ends with '/'.
QString ApplicationFolder(const QString& exeFolder);
// The same for the running executable.
QString ApplicationFolder();
// Where the shipped dat/ and skins/ of a program in `exeFolder` lie: beside
// it (a build or a portable copy), in share/quadrelle/ of its prefix, or in
// quadrelle/ of the system data folders. Ends with '/'; empty when none.
QString ShippedFolder(const QString& exeFolder);
// Copies the files of `from` that `to` lacks, recursively.
void SeedFolder(const QString& from, const QString& to);
// Maps the Windows font names of the configuration files to installed CJK
// fonts, so that "宋体" renders.
void InstallFontSubstitutes();
// Loads Qt's Chinese texts, so that message box buttons and the file, font,
// colour and print dialogs speak the program's language whatever the
// system's. Answers whether the translation was found.
bool InstallQtTranslations(QApplication& app);
// The window icon (built into the program) and the desktop entry's id.
void InstallDesktopIdentity(QApplication& app);

// The application title.
inline QString AppTitle() { return QStringLiteral("澜川霁岚术 1.6"); }

}  // namespace qd
