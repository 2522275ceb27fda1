// SPDX-License-Identifier: GPL-3.0-or-later

#include "store/comment_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "base/rtf.h"
#include "store/store_files.h"
#include "store/store_tables.h"

namespace qd {

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxNameBytes = 200;
constexpr const char* kPartSuffix = ".part~";

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// A name of an entry of the comment folder: a comment file, or one of the
// store's temporary files beside it.
bool IsSafeEntryName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameBytes + 16) return false;
    if (name.find("..") != std::string_view::npos) return false;
    for (unsigned char c : name) {
        if (c == '/' || c == '\\' || c == ':' || IsControl(c)) return false;
    }
    return name != ".";
}

// Writes `data` to `path` through a fresh file beside it and one rename.
bool WriteReplacing(const std::string& path, const std::string& data) {
    const std::string part = path + kPartSuffix;
    ::unlink(part.c_str());  // a leftover, or a link someone put there
    const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    bool ok = true;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(part.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(part.c_str());
    return ok;
}

}  // namespace

bool IsSafeCommentName(std::string_view base) {
    // Judged with its extension: "a." would make "a..rtf".
    return !base.empty() && base.size() <= kMaxNameBytes && IsSafeEntryName(std::string(base) + ".rtf");
}

std::string CommentFolderOf(const std::string& appFolder) {
    return WithSlash(appFolder.empty() ? std::string(".") : appFolder) + kCommentFolder + "/";
}

bool IsInsideCommentFolder(const std::string& appFolder, const std::string& path) {
    return CCommentFolder(appFolder).Contains(path);
}

std::string CommentNameStem(std::string_view caseName) {
    std::string out;
    for (unsigned char c : caseName) {
        if (IsControl(c)) continue;
        switch (c) {
            case '/':
            case '\\':
            case ':':
            case '*':
            case '?':
            case '"':
            case '<':
            case '>':
            case '|': continue;
            case '.':
                if (!out.empty() && out.back() == '.') continue;
                break;
            default: break;
        }
        out += static_cast<char>(c);
    }
    return out;
}

CCommentFolder::CCommentFolder(const std::string& appFolder) : folder_(CommentFolderOf(appFolder)) {}

bool CCommentFolder::Contains(const std::string& path) const {
    return path.size() > folder_.size() && path.compare(0, folder_.size(), folder_) == 0 &&
           IsSafeEntryName(std::string_view(path).substr(folder_.size()));
}

std::string CCommentFolder::FileOf(std::string_view base) const {
    if (!IsSafeCommentName(base)) return {};
    return folder_ + std::string(base) + ".rtf";
}

bool CCommentFolder::Write(const std::string& path, const std::string& data) const {
    if (!Contains(path) || !MakeFolder(folder_)) return false;
    return WriteReplacing(path, data);
}

bool CCommentFolder::WriteComment(const std::string& path, const std::string& plainText) const {
    return Write(path, PlainTextToRtf(plainText));
}

bool CCommentFolder::CopyIn(const std::string& from, const std::string& to) const {
    std::string data;
    std::error_code ec;
    const auto size = fs::file_size(U8Path(from), ec);
    if (ec || !ReadWholeFile(from, data) || data.size() != size) return false;
    return Write(to, data);
}

bool CCommentFolder::Rename(const std::string& from, const std::string& to) const {
    return Contains(from) && Contains(to) && RenameOver(from, to);
}

bool CCommentFolder::Remove(const std::string& path) const { return Contains(path) && RemoveFile(path); }

bool CCommentFolder::HasContent(const std::string& path) const {
    std::error_code ec;
    const auto size = fs::file_size(U8Path(path), ec);
    return !ec && size > 0;
}

std::vector<std::string> CCommentFolder::List(std::string_view suffix) const {
    return ListFilesEndingIn(folder_, suffix);
}

}  // namespace qd
