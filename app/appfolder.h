// Where the program keeps its files, and the fonts its texts are set in.
#pragma once

#include <QString>

namespace qd {

// The marker file the build writes beside the program it builds.
extern const char* const kBuildFolderMarker;

// The executable's folder when it is writable (portable use), else the
// per-user data folder, seeded from the shipped dat/ and skins/ on first
// use; a program in its build folder (with the marker) always uses the
// per-user folder. Always ends with '/'.
QString ApplicationFolder();
// Copies the files of `from` that `to` lacks, recursively.
void SeedFolder(const QString& from, const QString& to);
// Maps the Windows font names of the configuration files to installed CJK
// fonts, so that "宋体" renders.
void InstallFontSubstitutes();

// The application title.
inline QString AppTitle() { return QStringLiteral("澜川霁岚术 1.6"); }

}  // namespace qd
