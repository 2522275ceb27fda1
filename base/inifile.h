// SPDX-License-Identifier: GPL-3.0-or-later
// INI files of sections and key=value lines, as the configuration files
// (qdlinit.ini, set.ini) and the places file (dili.ini) are kept.
//
// On disk the files are GBK (a file starting with a UTF-8 byte-order mark
// is read and written back as UTF-8); the API speaks UTF-8. Conventions follow
// the Windows profile functions the files come from:
// - section and key names compare ASCII case-insensitively; the first of
//   duplicate keys wins;
// - blanks around names and values are dropped, and one pair of matching
//   quotes ('…' or "…") around a value is removed when reading;
// - lines starting with ';' are comments; comments, blank lines and the
//   order of every untouched line survive a rewrite byte for byte;
// - integers are decimal (a "0x" or "$" prefix reads as hexadecimal),
//   booleans are written "1"/"0"; reading, any non-zero integer and
//   "true"/"yes"/"on" are true, "false"/"no"/"off" false, anything else
//   the default.
//
// A missing file reads as empty. By default every write and delete goes
// straight to the file (write-through); SetAutoSave(false) batches changes
// until Save(), and a write that changes nothing writes nothing. Saving
// writes a temporary file beside the target and renames it over, so a crash
// never leaves a truncated file. The file is created on its first write; its
// folder is not.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qd {

class CIniFile {
public:
    CIniFile() = default;
    // Same as Open(path); the result is in ErrorText().
    explicit CIniFile(const std::string& path);

    // Reads the file. A missing file gives an empty one and true; false
    // only when the file exists but cannot be read.
    bool Open(const std::string& path);
    // Reads the file again from disk, dropping unsaved changes.
    bool Reload();
    const std::string& Path() const { return path_; }

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    bool SectionExists(std::string_view section) const;
    bool KeyExists(std::string_view section, std::string_view key) const;
    // Key names of a section in file order (duplicates once); empty when the
    // section is missing.
    std::vector<std::string> Keys(std::string_view section) const;
    // Section names in file order.
    std::vector<std::string> Sections() const;

    // Writes replace the value of an existing key in place; a new key goes
    // after the last key of its section, a new section at the end of the
    // file. Line breaks inside a value are turned into blanks. With
    // write-through these answer the result of the save.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, int value);
    bool WriteBool(std::string_view section, std::string_view key, bool value);
    // Removes every line of the key; true also when there was none.
    bool DeleteKey(std::string_view section, std::string_view key);
    // Removes the section header and its lines.
    bool EraseSection(std::string_view section);

    void SetAutoSave(bool on) { autoSave_ = on; }
    bool Modified() const { return modified_; }
    // Writes the file when something changed since the last read or save.
    bool Save();

    // The reason of the last failure.
    const std::string& ErrorText() const { return error_; }

private:
    enum class TLineKind { Blank, Comment, Section, Key, Other };
    struct TLine {
        TLineKind kind = TLineKind::Other;
        std::string raw;    // bytes as on disk, without the line break
        std::string eol;    // the line's own break: "\r\n", "\n", or "" at the end of the file
        std::string name;   // section or key name (UTF-8)
        std::string value;  // key value as written (UTF-8, trimmed)
    };

    std::string Encode(std::string_view utf8) const;
    std::string Decode(std::string_view bytes) const;
    void Parse(std::string_view data);
    // Index range [begin, end) of the lines after a section header up to the
    // next header; begin = npos when the section is missing.
    void SectionRange(std::string_view section, size_t& begin, size_t& end) const;
    const TLine* FindKey(std::string_view section, std::string_view key) const;
    bool Changed();
    // Inserts a new line before index `at` with the file's line break style.
    void InsertLine(size_t at, TLine line);

    std::string path_;
    std::vector<TLine> lines_;
    bool utf8_ = false;  // file had a UTF-8 byte-order mark
    bool crlf_ = true;   // line break style of new lines: the file's first break; CRLF for a new file
    bool autoSave_ = true;
    bool modified_ = false;
    std::string error_;
};

}  // namespace qd
