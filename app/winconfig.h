// SPDX-License-Identifier: GPL-3.0-or-later
// The window configuration dat/qdlinit.ini as one plain record: read at the
// show step, written back at close. The skin keys are written by the skin
// menu when a skin is chosen.
#pragma once

#include <string>

#include "base/richtext.h"

namespace qd {

class CIniFile;

// What [winpos] state holds.
enum TWinState { kWinNormal = 0, kWinMinimised = 1, kWinMaximised = 2 };

struct TWindowConfig {
    // [window]
    bool skined = false;
    std::string skinname = "Mx1";
    // [winpos]: geometry of the normal window (client area), its state
    int left = 10, top = 10, width = 400, height = 400;
    int state = kWinNormal;
    int treewid = 180;  // case tree width, at least 30
    int pinghei = 80;   // comment view height, at least 20
    int sheng = 0;      // province index; the last province when missing or out of range
    int shi = 0;        // city index, checked against the cities when applied
    // [minggao]: the result view's base font and background
    std::string fname = "宋体";
    int fsize = 12;
    TColor bcolor = 0xC0CCD0;
    // [tree]: display style (0 classified, 1 list) and sort order 0 to 4;
    // a value out of range reads as 0
    int showStyle = 1;
    int sort = 0;
};

TWindowConfig ReadWindowConfig(const CIniFile& ini);
// Writes every key but the skin's; the geometry only in the normal state, so
// a maximised window keeps its last normal geometry.
void WriteWindowConfig(CIniFile& ini, const TWindowConfig& c);
// [backup] keep: how many automatic backups the program keeps; written by
// the settings dialog, read at close. 0 turns them off; a missing value or
// one outside 0..kAutoBackupKeepMax reads as the default, so a damaged line
// never silently stops the backups.
constexpr int kAutoBackupKeepDefault = 10;
constexpr int kAutoBackupKeepMax = 99;
int ReadAutoBackupKeep(const CIniFile& ini);
bool WriteAutoBackupKeep(CIniFile& ini, int keep);

// The skin menu's choice: a skin by name, or the system default (off).
void WriteSkinChoice(CIniFile& ini, const std::string& skinname);
void WriteSkinOff(CIniFile& ini);

// The kinds of file the dialogs choose; each opens where the last of its kind
// was chosen ([folders]: text, import, db, backup).
enum class TFileKind {
    ViewText,      // "另存为" of the result and comment views, rtf and txt
    ImportText,    // "导入霁岚术文件"
    CaseDatabase,  // case databases imported, the folders exports go to
    Backup,        // the folders backups go to and are restored from
};
// Empty when none is kept.
std::string ReadLastFolder(const CIniFile& ini, TFileKind kind);
// Keeps `folder`, written at once; a folder whose name the GBK file cannot
// hold is not kept, and the kind's dialog opens where it would by default.
void WriteLastFolder(CIniFile& ini, TFileKind kind, const std::string& folder);

}  // namespace qd
