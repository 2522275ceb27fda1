// SPDX-License-Identifier: GPL-3.0-or-later
// File system helpers of the store. Paths are UTF-8 texts; no helper throws.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qd {

std::filesystem::path U8Path(const std::string& utf8);
std::string U8String(const std::filesystem::path& p);

std::string WithSlash(const std::string& folder);
// The folder of a file path, with a trailing slash ("./" for a bare name).
std::string FolderOf(const std::string& path);

bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);
bool IsRegularFile(const std::string& path);
bool MakeFolder(const std::string& path);  // true when it exists afterwards
bool RemoveFile(const std::string& path);  // true when it is gone afterwards
bool CopyFileOver(const std::string& from, const std::string& to);
// CopyFileOver, and true only when the copy is as long as the source.
bool CopyFileChecked(const std::string& from, const std::string& to);
// Size of a regular file, or -1.
long long FileSize(const std::string& path);
// Gives `to` the permission bits of `from`.
bool CopyPermissions(const std::string& from, const std::string& to);
// Flushes a file's or a folder's entries to the disk.
bool SyncPath(const std::string& path);
// Flushes the files and the folders holding them to the disk: each by
// itself when they are few, else the whole file system holding the first
// in one call (flushing many files one by one takes long).
void SyncFiles(const std::vector<std::string>& paths);
// Replaces `to` by `from` in one step (both in one folder).
bool RenameOver(const std::string& from, const std::string& to);
// Puts the database file `from` in the place of `to` in one rename and
// flushes the folder. A rollback journal left beside `to` belongs to the
// file being replaced and would damage the new one if played back into it,
// so it goes first.
bool ReplaceDatabaseFile(const std::string& from, const std::string& to);
// Removes a database file with its journal files; true when all are gone.
bool RemoveDatabaseFiles(const std::string& path);
// Names (not paths) of the folder's regular files whose names end in
// `suffix`, ASCII letter case ignored, sorted.
std::vector<std::string> ListFilesEndingIn(const std::string& folder, std::string_view suffix);
// The "*.rtf" files.
std::vector<std::string> ListRtfFiles(const std::string& folder);

bool ReadWholeFile(const std::string& path, std::string& data);
bool WriteWholeFile(const std::string& path, const std::string& data);
// Writes a temporary file beside `path`, flushes it and renames it over
// `path`, so that the file is either the old or the whole new one.
bool WriteFileDurably(const std::string& path, const std::string& data);
// The plain text of an RTF comment file; false when it cannot be read.
bool ReadCommentText(const std::string& path, std::string& plainText);

}  // namespace qd
