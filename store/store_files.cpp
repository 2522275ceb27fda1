// SPDX-License-Identifier: GPL-3.0-or-later

#include "store/store_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "base/rtf.h"
#include "store/case_format.h"

namespace qd {

namespace fs = std::filesystem;

fs::path U8Path(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string U8String(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

std::string WithSlash(const std::string& folder) {
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\') return folder;
    return folder + "/";
}

std::string FolderOf(const std::string& path) {
    const fs::path parent = U8Path(path).parent_path();
    return parent.empty() ? std::string("./") : WithSlash(U8String(parent));
}

bool PathExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(U8Path(path), ec);
}

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(U8Path(path), ec);
}

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(U8Path(path), ec);
}

bool MakeFolder(const std::string& path) {
    std::error_code ec;
    fs::create_directories(U8Path(path), ec);
    return IsFolder(path);
}

bool RemoveFile(const std::string& path) {
    std::error_code ec;
    fs::remove(U8Path(path), ec);
    return !PathExists(path);
}

bool CopyFileOver(const std::string& from, const std::string& to) {
    std::error_code ec;
    return fs::copy_file(U8Path(from), U8Path(to), fs::copy_options::overwrite_existing, ec) && !ec;
}

bool CopyFileChecked(const std::string& from, const std::string& to) {
    const long long size = FileSize(from);
    return size >= 0 && CopyFileOver(from, to) && FileSize(to) == size;
}

long long FileSize(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(U8Path(path), ec);
    return ec ? -1 : static_cast<long long>(size);
}

bool CopyPermissions(const std::string& from, const std::string& to) {
    std::error_code ec;
    const fs::perms p = fs::status(U8Path(from), ec).permissions();
    if (ec) return false;
    fs::permissions(U8Path(to), p, fs::perm_options::replace, ec);
    return !ec;
}

bool SyncPath(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void SyncFiles(const std::vector<std::string>& paths) {
    constexpr size_t kOneByOne = 256;
    if (paths.empty()) return;
    if (paths.size() <= kOneByOne) {
        std::vector<std::string> folders;
        for (const std::string& p : paths) {
            SyncPath(p);
            const std::string folder = FolderOf(p);
            if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
        }
        for (const std::string& f : folders) SyncPath(f);
        return;
    }
#ifdef __linux__
    const int fd = ::open(paths.front().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
        return;
    }
#endif
    ::sync();
}

bool RenameOver(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::rename(U8Path(from), U8Path(to), ec);
    return !ec;
}

namespace {
constexpr const char* kJournalSuffixes[] = {"-journal", "-wal", "-shm"};
}  // namespace

bool ReplaceDatabaseFile(const std::string& from, const std::string& to) {
    for (const char* suffix : kJournalSuffixes) {
        if (!RemoveFile(to + suffix)) return false;
    }
    if (!RenameOver(from, to)) return false;
    SyncPath(FolderOf(to));
    return true;
}

bool RemoveDatabaseFiles(const std::string& path) {
    bool gone = RemoveFile(path);
    for (const char* suffix : kJournalSuffixes) gone = RemoveFile(path + suffix) && gone;
    return gone;
}

std::vector<std::string> ListFilesEndingIn(const std::string& folder, std::string_view suffix) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(U8Path(folder), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code entryEc;
        if (!it->is_regular_file(entryEc)) continue;
        const std::string name = U8String(it->path().filename());
        if (name.size() >= suffix.size() &&
            EqualNoCase(std::string_view(name).substr(name.size() - suffix.size()), suffix))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ListRtfFiles(const std::string& folder) { return ListFilesEndingIn(folder, ".rtf"); }

bool ReadWholeFile(const std::string& path, std::string& data) {
    std::ifstream in(U8Path(path), std::ios::binary);
    if (!in) return false;
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteWholeFile(const std::string& path, const std::string& data) {
    std::ofstream out(U8Path(path), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.close();
    return !out.fail();
}

bool WriteFileDurably(const std::string& path, const std::string& data) {
    const std::string part = path + ".part~";
    if (!WriteWholeFile(part, data) || !SyncPath(part) || !RenameOver(part, path)) {
        RemoveFile(part);
        return false;
    }
    SyncPath(FolderOf(path));
    return true;
}

bool ReadCommentText(const std::string& path, std::string& plainText) {
    std::string data;
    if (!ReadWholeFile(path, data)) return false;
    plainText = RtfToPlainText(data);
    return true;
}

}  // namespace qd
