// SPDX-License-Identifier: GPL-3.0-or-later
// The advisory lock that keeps two programs from changing one case folder
// (an application folder with dat/Quadrelle.db and Quadrelle_f/) at once.
//
// Three modes, from weakest to strongest:
// - Read: reads the cases (list, export, backup). Any number of readers may
//   share the folder with each other and with one writer.
// - Write: adds, changes and deletes cases (the desktop program for its
//   whole run, an import). One writer at a time.
// - Exclusive: replaces the database file or renumbers the cases
//   (compaction, restore, delete all). Nobody else may use the folder.
//
// The lock is advisory: it binds only programs that take it. Every program
// of this system takes it before it opens the case database of a folder.
// A lock is held by one CCaseFolderLock object; two objects conflict even in
// one process, like two programs. It ends with the object or the process, so
// a crashed program never leaves the folder locked.
#pragma once

#include <string>

namespace qd {

enum class TFolderLockMode { None, Read, Write, Exclusive };

// What a refused command or a second program start says.
constexpr const char* kFolderInUseText = "案例文件夹正被另一个程序使用！";

class CCaseFolderLock {
public:
    // `appFolder` is the application folder (a trailing "/" is optional).
    explicit CCaseFolderLock(std::string appFolder);
    ~CCaseFolderLock();
    CCaseFolderLock(const CCaseFolderLock&) = delete;
    CCaseFolderLock& operator=(const CCaseFolderLock&) = delete;

    // Takes the lock in `mode` without waiting, or changes the mode held
    // (stronger or weaker). False when another holder is in the way or the
    // folder cannot be locked (ErrorText() says which); the mode held before
    // stays held. TryLock(None) releases.
    bool TryLock(TFolderLockMode mode);
    void Unlock() { TryLock(TFolderLockMode::None); }
    TFolderLockMode Mode() const { return mode_; }
    const std::string& AppFolder() const { return appFolder_; }
    // kFolderInUseText after a conflict, else the system's reason.
    const std::string& ErrorText() const { return error_; }

private:
    // Two locks make three modes out of shared and exclusive: every user
    // holds the folder lock (shared, or exclusive for Exclusive); writers
    // and Exclusive hold the writer lock too (always exclusive).
    bool Take(int& fd, const std::string& path, bool exclusive);
    void Drop(int& fd);

    std::string appFolder_;
    TFolderLockMode mode_ = TFolderLockMode::None;
    int folderFd_ = -1;  // the application folder
    int writerFd_ = -1;  // its dat/ folder
    std::string error_;
};

// An exclusive lock on one folder for the life of the object, taken
// without waiting (the automatic backups keep two runs apart with it).
class CExclusiveFolderLock {
public:
    explicit CExclusiveFolderLock(const std::string& folder);
    ~CExclusiveFolderLock();
    CExclusiveFolderLock(const CExclusiveFolderLock&) = delete;
    CExclusiveFolderLock& operator=(const CExclusiveFolderLock&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace qd
