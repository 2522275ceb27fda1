// SPDX-License-Identifier: GPL-3.0-or-later
// Automatic backups: backups/ beside dat/ in the application folder holds
// backup folders of the usual format (those of "备份案例数据"), of which the
// newest N are kept. A run happens at most once a calendar day; the day of
// the last successful run is kept in backups/last-run. The run itself is
// MRecordBase::AutoBackup.
#pragma once

#include <ctime>
#include <string>

namespace qd {

enum class TAutoBackupResult {
    Written,  // a new backup in AutoBackupFolderOf()
    NotDue,   // one ran today already, another run is under way, or the store has no case
    Off,      // keep is 0
    Failed,   // the store's LastError() says why; older backups are untouched
};

// <appFolder>backups/
std::string AutoBackupFolderOf(const std::string& appFolder);

// The newest complete automatic backup folder (ending with "/"), or "".
std::string NewestAutoBackup(const std::string& appFolder);

}  // namespace qd
