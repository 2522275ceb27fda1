// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/inifile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/encoding.h"

namespace qd {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr size_t kNone = static_cast<size_t>(-1);

std::string_view Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    // A carriage return that is not part of a line break counts as a blank.
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (b < e && blank(s[b])) ++b;
    while (e > b && blank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

// A name or value must stay on its line.
std::string OneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

bool ParseInteger(std::string_view s, int& out) {
    s = Trim(s);
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    } else if (s.size() > 1 && s[0] == '$') {
        base = 16;
        s.remove_prefix(1);
    }
    if (s.empty() || s[0] == '+' || s[0] == '-') return false;
    long long v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (ec != std::errc() || end != s.data() + s.size()) return false;
    if (negative) v = -v;
    // Hexadecimal colours such as $FFFFFFFF are 32-bit patterns.
    if (base == 16 && v > 0x7FFFFFFFLL && v <= 0xFFFFFFFFLL) v -= 0x100000000LL;
    if (v < INT32_MIN || v > INT32_MAX) return false;
    out = static_cast<int>(v);
    return true;
}

}  // namespace

CIniFile::CIniFile(const std::string& path) { Open(path); }

std::string CIniFile::Encode(std::string_view utf8) const {
    return utf8_ ? std::string(utf8) : Utf8ToGbk(utf8);
}

std::string CIniFile::Decode(std::string_view bytes) const {
    return utf8_ ? std::string(bytes) : GbkToUtf8(bytes);
}

bool CIniFile::Open(const std::string& path) {
    path_ = path;
    return Reload();
}

bool CIniFile::Reload() {
    lines_.clear();
    utf8_ = false;
    crlf_ = true;
    modified_ = false;
    error_.clear();

    std::error_code ec;
    if (!std::filesystem::exists(path_, ec)) return true;
    if (std::filesystem::is_directory(path_, ec)) {
        error_ = "不是文件: " + path_;
        return false;
    }
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        error_ = "无法读取文件: " + path_;
        return false;
    }
    std::ostringstream buf;
    buf << in.rdbuf();
    if (in.bad()) {
        error_ = "无法读取文件: " + path_;
        return false;
    }
    Parse(buf.str());
    return true;
}

void CIniFile::Parse(std::string_view data) {
    if (data.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        utf8_ = true;
        data.remove_prefix(kUtf8Bom.size());
    }
    if (data.empty()) return;
    size_t firstBreak = data.find('\n');
    crlf_ = firstBreak == std::string_view::npos || (firstBreak > 0 && data[firstBreak - 1] == '\r');

    size_t pos = 0;
    while (pos < data.size()) {
        size_t nl = data.find('\n', pos);
        size_t end = nl == std::string_view::npos ? data.size() : nl;
        std::string_view raw = data.substr(pos, end - pos);
        TLine line;
        // Every line keeps its own break, so that untouched lines are
        // written back byte for byte even in a file of mixed breaks.
        if (nl != std::string_view::npos) {
            const bool cr = !raw.empty() && raw.back() == '\r';
            if (cr) raw.remove_suffix(1);
            line.eol = cr ? "\r\n" : "\n";
        }
        pos = nl == std::string_view::npos ? data.size() : nl + 1;
        line.raw = std::string(raw);
        // GBK trail bytes can look like '[' or ']', so parse the decoded text.
        std::string text = Decode(raw);
        std::string_view t = Trim(text);
        if (t.empty()) {
            line.kind = TLineKind::Blank;
        } else if (t[0] == ';') {
            line.kind = TLineKind::Comment;
        } else if (t[0] == '[') {
            size_t close = t.find(']');
            line.kind = TLineKind::Section;
            line.name = std::string(
                Trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
        } else if (size_t eq = t.find('='); eq != std::string_view::npos && !Trim(t.substr(0, eq)).empty()) {
            line.kind = TLineKind::Key;
            line.name = std::string(Trim(t.substr(0, eq)));
            line.value = std::string(Trim(t.substr(eq + 1)));
        } else {
            line.kind = TLineKind::Other;
        }
        lines_.push_back(std::move(line));
    }
}

void CIniFile::SectionRange(std::string_view section, size_t& begin, size_t& end) const {
    begin = kNone;
    end = kNone;
    std::string_view want = Trim(section);
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == TLineKind::Section && SameName(lines_[i].name, want)) {
            begin = i + 1;
            end = begin;
            while (end < lines_.size() && lines_[end].kind != TLineKind::Section) ++end;
            return;
        }
    }
}

const CIniFile::TLine* CIniFile::FindKey(std::string_view section, std::string_view key) const {
    size_t begin, end;
    SectionRange(section, begin, end);
    if (begin == kNone) return nullptr;
    std::string_view want = Trim(key);
    for (size_t i = begin; i < end; ++i) {
        if (lines_[i].kind == TLineKind::Key && SameName(lines_[i].name, want)) return &lines_[i];
    }
    return nullptr;
}

std::string CIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    const TLine* line = FindKey(section, key);
    if (line == nullptr) return std::string(def);
    return std::string(Unquote(line->value));
}

int CIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
    const TLine* line = FindKey(section, key);
    int v = 0;
    if (line == nullptr || !ParseInteger(Unquote(line->value), v)) return def;
    return v;
}

bool CIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    const TLine* line = FindKey(section, key);
    if (line == nullptr) return def;
    std::string_view v = Trim(Unquote(line->value));
    int n = 0;
    if (ParseInteger(v, n)) return n != 0;
    if (SameName(v, "true") || SameName(v, "yes") || SameName(v, "on")) return true;
    if (SameName(v, "false") || SameName(v, "no") || SameName(v, "off")) return false;
    return def;
}

bool CIniFile::SectionExists(std::string_view section) const {
    size_t begin, end;
    SectionRange(section, begin, end);
    return begin != kNone;
}

bool CIniFile::KeyExists(std::string_view section, std::string_view key) const {
    return FindKey(section, key) != nullptr;
}

std::vector<std::string> CIniFile::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    size_t begin, end;
    SectionRange(section, begin, end);
    if (begin == kNone) return keys;
    for (size_t i = begin; i < end; ++i) {
        if (lines_[i].kind != TLineKind::Key) continue;
        bool seen = false;
        for (const std::string& k : keys) {
            if (SameName(k, lines_[i].name)) {
                seen = true;
                break;
            }
        }
        if (!seen) keys.push_back(lines_[i].name);
    }
    return keys;
}

std::vector<std::string> CIniFile::Sections() const {
    std::vector<std::string> names;
    for (const TLine& line : lines_) {
        if (line.kind != TLineKind::Section) continue;
        bool seen = false;
        for (const std::string& n : names) {
            if (SameName(n, line.name)) {
                seen = true;
                break;
            }
        }
        if (!seen) names.push_back(line.name);
    }
    return names;
}

bool CIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::string sec = OneLine(Trim(section));
    std::string name = OneLine(Trim(key));
    std::string val = OneLine(value);
    if (sec.empty() || name.empty()) {
        error_ = "INI 节名或键名为空";
        return false;
    }

    size_t begin, end;
    SectionRange(sec, begin, end);
    if (begin != kNone) {
        size_t lastKey = kNone;
        for (size_t i = begin; i < end; ++i) {
            if (lines_[i].kind != TLineKind::Key) continue;
            if (SameName(lines_[i].name, name)) {
                if (lines_[i].value == Trim(val)) return true;  // nothing to write
                TLine& line = lines_[i];
                line.value = std::string(Trim(val));
                // The name keeps its bytes as written ('=' is never part of
                // a GBK character), so that a name the code page cannot
                // carry is not renamed by the rewrite.
                line.raw = line.raw.substr(0, line.raw.find('=') + 1) + Encode(val);
                return Changed();
            }
            lastKey = i;
        }
        TLine line;
        line.kind = TLineKind::Key;
        line.name = name;
        line.value = std::string(Trim(val));
        line.raw = Encode(name + "=" + val);
        size_t at = lastKey == kNone ? begin : lastKey + 1;
        InsertLine(at, std::move(line));
        return Changed();
    }

    if (!lines_.empty() && lines_.back().kind != TLineKind::Blank) {
        TLine blank;
        blank.kind = TLineKind::Blank;
        InsertLine(lines_.size(), std::move(blank));
    }
    TLine header;
    header.kind = TLineKind::Section;
    header.name = sec;
    header.raw = Encode("[" + sec + "]");
    InsertLine(lines_.size(), std::move(header));
    TLine line;
    line.kind = TLineKind::Key;
    line.name = name;
    line.value = std::string(Trim(val));
    line.raw = Encode(name + "=" + val);
    InsertLine(lines_.size(), std::move(line));
    return Changed();
}

bool CIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    return WriteString(section, key, std::to_string(value));
}

bool CIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    return WriteString(section, key, value ? "1" : "0");
}

bool CIniFile::DeleteKey(std::string_view section, std::string_view key) {
    size_t begin, end;
    SectionRange(section, begin, end);
    if (begin == kNone) return true;
    std::string_view want = Trim(key);
    bool removed = false;
    for (size_t i = end; i-- > begin;) {
        if (lines_[i].kind == TLineKind::Key && SameName(lines_[i].name, want)) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            removed = true;
        }
    }
    return removed ? Changed() : true;
}

bool CIniFile::EraseSection(std::string_view section) {
    bool removed = false;
    for (;;) {
        size_t begin, end;
        SectionRange(section, begin, end);
        if (begin == kNone) break;
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(begin - 1),
                     lines_.begin() + static_cast<std::ptrdiff_t>(end));
        removed = true;
    }
    return removed ? Changed() : true;
}

void CIniFile::InsertLine(size_t at, TLine line) {
    const char* eol = crlf_ ? "\r\n" : "\n";
    line.eol = eol;
    // The last line of a file without a final break needs one now.
    if (at > 0 && lines_[at - 1].eol.empty()) lines_[at - 1].eol = eol;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

bool CIniFile::Changed() {
    modified_ = true;
    return autoSave_ ? Save() : true;
}

bool CIniFile::Save() {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!modified_) return true;
    if (path_.empty()) {
        error_ = "INI 文件路径为空";
        return false;
    }

    std::string data;
    if (utf8_) data = kUtf8Bom;
    for (const TLine& line : lines_) {
        data += line.raw;
        data += line.eol;
    }

    // Replace the file a symbolic link points to, not the link.
    fs::path target = path_;
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::canonical(target, ec);
        if (!ec) target = resolved;
    }
    std::string tmp = target.string() + ".tmp~";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error_ = "无法写入文件: " + path_ + " (" + std::strerror(errno) + ")";
        return false;
    }
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);

    bool ok = true;
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (ok && ::fsync(fd) != 0) ok = false;
    int savedErrno = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        savedErrno = errno;
    }
    if (ok && ::rename(tmp.c_str(), target.c_str()) != 0) {
        ok = false;
        savedErrno = errno;
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        error_ = "无法写入文件: " + path_ + " (" + std::strerror(savedErrno) + ")";
        return false;
    }
    // Make the rename itself durable.
    fs::path dir = target.parent_path();
    int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    modified_ = false;
    return true;
}

}  // namespace qd
