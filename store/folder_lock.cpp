// SPDX-License-Identifier: GPL-3.0-or-later

#include "store/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "store/store_files.h"

namespace qd {

// POSIX: flock() on the two folders themselves, so that locking creates no
// file and works in a folder the user may only read. flock belongs to the
// open file description, so two objects of one process conflict as two
// processes do. On Windows the same scheme maps onto LockFileEx (shared or
// LOCKFILE_EXCLUSIVE_LOCK, with LOCKFILE_FAIL_IMMEDIATELY) on a lock file in
// each folder, since folders themselves cannot be locked there.

CCaseFolderLock::CCaseFolderLock(std::string appFolder) : appFolder_(WithSlash(appFolder)) {}

CCaseFolderLock::~CCaseFolderLock() { Unlock(); }

bool CCaseFolderLock::Take(int& fd, const std::string& path, bool exclusive) {
    const bool opened = fd < 0;
    if (opened) {
        fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            error_ = "无法锁定案例文件夹：" + path + "（" + std::strerror(errno) + "）";
            return false;
        }
    }
    int rc;
    do {
        rc = ::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) return true;
    error_ = errno == EWOULDBLOCK ? std::string(kFolderInUseText)
                                  : "无法锁定案例文件夹：" + path + "（" + std::strerror(errno) + "）";
    if (opened) Drop(fd);
    return false;
}

void CCaseFolderLock::Drop(int& fd) {
    if (fd >= 0) ::close(fd);  // closing the description releases its lock
    fd = -1;
}

bool CCaseFolderLock::TryLock(TFolderLockMode mode) {
    if (mode == mode_) return true;
    if (mode == TFolderLockMode::None) {
        Drop(folderFd_);
        Drop(writerFd_);
        mode_ = mode;
        return true;
    }
    const bool needWriter = mode >= TFolderLockMode::Write;
    const bool hadWriter = mode_ >= TFolderLockMode::Write;
    if (needWriter && !hadWriter) {
        const std::string dat = appFolder_ + "dat";
        ::mkdir(dat.c_str(), 0777);  // a new folder has none yet
        if (!Take(writerFd_, dat, true)) return false;
    }
    const bool hadFolder = mode_ != TFolderLockMode::None;
    const bool hadExclusive = mode_ == TFolderLockMode::Exclusive;
    const bool wantExclusive = mode == TFolderLockMode::Exclusive;
    if (!hadFolder || wantExclusive != hadExclusive) {
        if (!Take(folderFd_, appFolder_, wantExclusive)) {
            // Changing a flock mode may let go of the old one first. Nobody
            // can have taken the folder exclusively meanwhile (that needs the
            // writer lock, which is held whenever the mode grows to
            // Exclusive), so taking the old mode back cannot wait long.
            if (hadFolder) ::flock(folderFd_, hadExclusive ? LOCK_EX : LOCK_SH);
            if (needWriter && !hadWriter) Drop(writerFd_);
            return false;
        }
    }
    if (!needWriter && hadWriter) Drop(writerFd_);
    mode_ = mode;
    return true;
}

CExclusiveFolderLock::CExclusiveFolderLock(const std::string& folder) {
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

CExclusiveFolderLock::~CExclusiveFolderLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace qd
