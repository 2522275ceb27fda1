// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/winconfig.h"

#include <algorithm>

#include "app/places.h"
#include "base/encoding.h"
#include "base/inifile.h"

namespace qd {

TWindowConfig ReadWindowConfig(const CIniFile& ini) {
    TWindowConfig c;
    c.skined = ini.ReadBool("window", "skined", c.skined);
    if (c.skined) c.skinname = ini.ReadString("window", "skinname", c.skinname);
    c.left = ini.ReadInteger("winpos", "left", c.left);
    c.top = ini.ReadInteger("winpos", "top", c.top);
    c.width = ini.ReadInteger("winpos", "width", c.width);
    c.height = ini.ReadInteger("winpos", "height", c.height);
    c.state = ini.ReadInteger("winpos", "state", c.state);
    c.fname = ini.ReadString("minggao", "fname", c.fname);
    c.fsize = std::max(1, ini.ReadInteger("minggao", "fsize", c.fsize));
    c.bcolor = TColor(ini.ReadInteger("minggao", "bcolor", int(c.bcolor)));
    c.treewid = std::max(30, ini.ReadInteger("winpos", "treewid", c.treewid));
    c.pinghei = std::max(20, ini.ReadInteger("winpos", "pinghei", c.pinghei));
    c.sheng = ini.ReadInteger("winpos", "sheng", kProvinceCount - 1);
    if (c.sheng < 0 || c.sheng >= kProvinceCount) c.sheng = kProvinceCount - 1;
    c.shi = ini.ReadInteger("winpos", "shi", c.shi);
    c.showStyle = ini.ReadInteger("tree", "showStyle", c.showStyle);
    c.sort = ini.ReadInteger("tree", "sort", c.sort);
    if (c.showStyle < 0 || c.showStyle > 1) c.showStyle = 0;
    if (c.sort < 0 || c.sort > 4) c.sort = 0;
    return c;
}

int ReadAutoBackupKeep(const CIniFile& ini) {
    const int keep = ini.ReadInteger("backup", "keep", kAutoBackupKeepDefault);
    return keep < 0 || keep > kAutoBackupKeepMax ? kAutoBackupKeepDefault : keep;
}

bool WriteAutoBackupKeep(CIniFile& ini, int keep) { return ini.WriteInteger("backup", "keep", keep); }

void WriteWindowConfig(CIniFile& ini, const TWindowConfig& c) {
    ini.SetAutoSave(false);
    if (c.state == kWinNormal) {
        ini.WriteInteger("winpos", "left", c.left);
        ini.WriteInteger("winpos", "top", c.top);
        ini.WriteInteger("winpos", "width", c.width);
        ini.WriteInteger("winpos", "height", c.height);
    }
    ini.WriteInteger("winpos", "state", c.state);
    ini.WriteString("minggao", "fname", c.fname);
    ini.WriteInteger("minggao", "fsize", c.fsize);
    ini.WriteInteger("minggao", "bcolor", int(c.bcolor));
    ini.WriteInteger("winpos", "treewid", c.treewid);
    ini.WriteInteger("winpos", "pinghei", c.pinghei);
    ini.WriteInteger("winpos", "sheng", c.sheng);
    ini.WriteInteger("winpos", "shi", c.shi);
    ini.WriteInteger("tree", "showStyle", c.showStyle);
    ini.WriteInteger("tree", "sort", c.sort);
    ini.Save();
    ini.SetAutoSave(true);
}

void WriteSkinChoice(CIniFile& ini, const std::string& skinname) {
    ini.WriteString("window", "skinname", skinname);
    ini.WriteBool("window", "skined", true);
}

void WriteSkinOff(CIniFile& ini) { ini.WriteBool("window", "skined", false); }

namespace {

const char* FolderKey(TFileKind kind) {
    switch (kind) {
        case TFileKind::ViewText: return "text";
        case TFileKind::ImportText: return "import";
        case TFileKind::CaseDatabase: return "db";
        case TFileKind::Backup: return "backup";
    }
    return "text";
}

}  // namespace

std::string ReadLastFolder(const CIniFile& ini, TFileKind kind) {
    return ini.ReadString("folders", FolderKey(kind), "");
}

void WriteLastFolder(CIniFile& ini, TFileKind kind, const std::string& folder) {
    if (folder.empty() || GbkToUtf8(Utf8ToGbk(folder)) != folder) return;
    ini.WriteString("folders", FolderKey(kind), folder);
}

}  // namespace qd
