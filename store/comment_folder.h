// SPDX-License-Identifier: GPL-3.0-or-later
// The comment folder Quadrelle_f/ of an application folder, and the one
// judge of which paths lie inside it.
//
// Comment file names come from rows, imported databases and legacy records
// that other programs wrote, so a name may try to climb out of the folder
// ("../../x") or name a drive ("C:x"). Every file the store creates,
// renames or deletes for a comment goes through CCommentFolder, which
// refuses any path that IsInsideCommentFolder does not accept; the window's
// own comment-file operations use the same function.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qd {

// True when `base` (a comment file name without folder and extension) is a
// plain file name: not empty, at most 200 bytes, no '/', '\\' or ':', no
// ".." (also with the ".rtf" after it), no control character (bytes below
// 0x20 and 0x7F).
bool IsSafeCommentName(std::string_view base);

// The one judge: true when `path` names an entry directly inside
// <appFolder>Quadrelle_f/ (compared as texts, the folder spelled as
// CommentFolderOf gives it) whose name passes IsSafeCommentName.
bool IsInsideCommentFolder(const std::string& appFolder, const std::string& path);

// <appFolder>Quadrelle_f/ (appFolder gets its trailing "/" when missing).
std::string CommentFolderOf(const std::string& appFolder);

// The case name as the first part of a new comment file name: the
// characters a file name cannot hold (path separators, ':', '*', '?', '"',
// '<', '>', '|', control characters) are dropped and runs of dots become
// one dot, so that the name made from it always passes IsSafeCommentName.
std::string CommentNameStem(std::string_view caseName);

class CCommentFolder {
public:
    explicit CCommentFolder(const std::string& appFolder);

    const std::string& Path() const { return folder_; }
    bool Contains(const std::string& path) const;
    // Path() + base + ".rtf", or "" when the name is not safe.
    std::string FileOf(std::string_view base) const;

    // Each refuses a path outside the folder. Writes go to a temporary name
    // in the folder first and replace the target in one rename, so a target
    // is never left half written and a symbolic link there is replaced, not
    // followed. The folder is created when missing.
    bool Write(const std::string& path, const std::string& data) const;
    // A comment file (RTF) holding a plain text.
    bool WriteComment(const std::string& path, const std::string& plainText) const;
    // Copies a file from anywhere into the folder; false unless the copy has
    // all of the source's bytes.
    bool CopyIn(const std::string& from, const std::string& to) const;
    bool Rename(const std::string& from, const std::string& to) const;
    // True when the entry is gone afterwards.
    bool Remove(const std::string& path) const;

    // True when the file exists and holds at least one byte.
    bool HasContent(const std::string& path) const;
    // Names of the folder's regular files ending in `suffix` (ASCII letter
    // case ignored), sorted.
    std::vector<std::string> List(std::string_view suffix) const;

private:
    std::string folder_;
};

}  // namespace qd
