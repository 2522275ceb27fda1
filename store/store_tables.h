// SPDX-License-Identifier: GPL-3.0-or-later
// Fixed names of the case database: columns, metadata and file names.
#pragma once

#include <cstddef>

namespace qd {

struct TColumnDef {
    const char* name;
    const char* type;  // declared type, as the create statement writes it
};

constexpr size_t kCaseColumnCount = 18;
// `case_data` in creation and insert order.
extern const TColumnDef kCaseColumns[kCaseColumnCount];

constexpr size_t kExtraColumnCount = 5;
// `case_extra`: PlatformId, verCode, primaryId, className, baseType.
extern const char* const kExtraColumns[kExtraColumnCount];

constexpr size_t kDefaultCategoryCount = 8;
extern const char* const kDefaultCategories[kDefaultCategoryCount];

constexpr int kPlatformId = 0;
constexpr int kFormatVersion = 1000;
constexpr const char* kDatabaseType = "QuadrelleData";
constexpr const char* kProductWord = "Quadrelle";

// Folder of comment files inside the application folder, and the database
// file names the maintenance commands use.
constexpr const char* kCommentFolder = "Quadrelle_f";
constexpr const char* kDatabaseFile = "Quadrelle.db";
constexpr const char* kCompactFile = "Quadrelle_back.db";
constexpr const char* kBackupMarker = "save.txt";

// Files beside the database while an import, restore or compaction runs:
// the marker that one was under way (holding its kind), and the list of
// comment files of a restore that passed its checks. Staged files carry
// kStagedSuffix until they take their places.
constexpr const char* kPendingSuffix = ".pending";
constexpr const char* kRestoreListSuffix = ".restore";
constexpr const char* kStagedSuffix = ".restore~";

// Texts a read gives for empty columns, and the fixed column values.
constexpr const char* kDefaultCategory = "临时保存";
constexpr const char* kDefaultQuestion = "要问的事情。";
constexpr const char* kDefaultComment = "输入自己的评语：";
constexpr const char* kMasterDate = "1978";

}  // namespace qd
