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
bool MakeFolder(const std::string& path);  // true when it exists afterwards
bool RemoveFile(const std::string& path);  // true when it is gone afterwards
bool CopyFileOver(const std::string& from, const std::string& to);
// Replaces `to` by `from` in one step (both in one folder).
bool RenameOver(const std::string& from, const std::string& to);
// Names (not paths) of the folder's regular files whose names end in
// `suffix`, ASCII letter case ignored, sorted.
std::vector<std::string> ListFilesEndingIn(const std::string& folder, std::string_view suffix);
// The "*.rtf" files.
std::vector<std::string> ListRtfFiles(const std::string& folder);

bool ReadWholeFile(const std::string& path, std::string& data);
bool WriteWholeFile(const std::string& path, const std::string& data);
// The plain text of an RTF comment file; false when it cannot be read.
bool ReadCommentText(const std::string& path, std::string& plainText);

}  // namespace qd
