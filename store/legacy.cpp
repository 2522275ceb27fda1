// SPDX-License-Identifier: GPL-3.0-or-later

#include "store/legacy.h"

#include <algorithm>
#include <cstring>

#include "base/encoding.h"
#include "base/textclean.h"
#include "store/case_format.h"
#include "store/record_base.h"
#include "store/store_files.h"
#include "store/store_tables.h"

namespace qd {

namespace {

// Offsets of the legacy record.
constexpr int kDeletedAt = 4;
constexpr int kNameAt = 5, kNameWidth = 11;
constexpr int kCategoryAt = 16, kCategoryWidth = 14;
constexpr int kDateAt = 30;  // 5 x int16: year, month, day, hour, minute
constexpr int kLunarAt = 40, kLeapAt = 41;
constexpr int kProvinceAt = 44, kCityAt = 46;
constexpr int kLongitudeAt = 52, kLatitudeAt = 56;
constexpr int kPlaceAt = 68, kPlaceWidth = 51;
constexpr int kFileAt = 119, kFileWidth = 30;
constexpr int kNobleAt = 149, kEarthAt = 150;

int16_t Int16At(const uint8_t* p) { return static_cast<int16_t>(p[0] | (p[1] << 8)); }

float FloatAt(const uint8_t* p) {
    const uint32_t bits = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// A text ends at its first zero or at the end of its span.
std::string SpanText(const uint8_t* p, int width) {
    const auto* s = reinterpret_cast<const char*>(p);
    return std::string(s, strnlen(s, width));
}

void CopySpan(char* field, size_t fieldWidth, const uint8_t* p, int width) {
    const std::string gbk = SpanText(p, width);
    std::memset(field, 0, fieldWidth);
    std::memcpy(field, gbk.data(), std::min(gbk.size(), fieldWidth - 1));
}

void RemoveApostrophes(std::string& s) { s.erase(std::remove(s.begin(), s.end(), '\''), s.end()); }

}  // namespace

MDataBase::~MDataBase() { Close(); }

void MDataBase::SetFile(const std::string& baseFolder, int index) {
    // Index 0, the product word, is the only legacy file there ever was.
    (void)index;
    baseFolder_ = WithSlash(baseFolder);
    path_ = baseFolder_ + "dat/" + kProductWord + ".dat";
}

int MDataBase::CountRecords() const {
    std::error_code ec;
    const auto size = std::filesystem::file_size(U8Path(path_), ec);
    return ec ? 0 : static_cast<int>(size / kLegacyRecordSize);
}

bool MDataBase::OpenForReading() {
    Close();
    file_ = std::fopen(path_.c_str(), "rb");
    count_ = file_ ? CountRecords() : 0;
    return file_ != nullptr;
}

bool MDataBase::ReadRecord(int i, uint8_t (&record)[kLegacyRecordSize]) {
    if (!file_ || i < 0 || i >= count_) return false;
    if (std::fseek(file_, static_cast<long>(i) * kLegacyRecordSize, SEEK_SET) != 0) return false;
    if (std::fread(record, 1, kLegacyRecordSize, file_) != size_t(kLegacyRecordSize)) return false;
    return record[kDeletedAt] == 0;
}

void MDataBase::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    count_ = 0;
}

bool MRecordBase::CleanRecord(TRecordData& r) {
    TCastRequest& q = r.request;
    std::string place = ReadGbkField(q.place);
    qd::CleanText(place, 150);
    WriteGbkField(q.place, place);

    qd::CleanText(r.category, 10);

    std::string name = ReadGbkField(q.name);
    if (!qd::CleanText(name, 10)) return false;
    WriteGbkField(q.name, name);
    // The old comment file carries the name that is going away. Its text
    // becomes the case's comment, and the file itself is copied to the new
    // name so that its formatting stays as well; the conversion removes the
    // old file once the case is safely stored.
    const std::string oldPath = CommentFilePath(r.commentFile);
    std::string text;
    const bool hadFile = PathExists(oldPath);
    if (hadFile && ReadCommentText(oldPath, text)) {
        RemoveApostrophes(text);
        r.comment = text;
    } else {
        r.comment = kDefaultComment;
    }
    std::string base;
    const std::string newPath = MakeCommentFileName(r, base);
    r.commentFile = base;
    // The new file is written at once so that the name is taken: a later
    // record with the same cleaned name and minute must get another one.
    if (!hadFile || !Comments().CopyIn(oldPath, newPath)) Comments().WriteComment(newPath, r.comment);
    return true;
}

int MRecordBase::ConvertLegacyFile() {
    MDataBase legacy;
    legacy.SetFile(appFolder_, 0);
    if (!PathExists(legacy.FilePath())) return 0;

    std::vector<std::string> categories;
    const int n = legacy.CountRecords();
    BeginBatch();
    legacy.OpenForReading();
    int converted = 0;
    int refused = 0;
    struct TMovedComment {
        std::string from, to;
        bool added;
    };
    std::vector<TMovedComment> moved;
    for (int i = 0; i <= n; ++i) {
        uint8_t rec[kLegacyRecordSize];
        if (!legacy.ReadRecord(i, rec)) continue;
        TRecordData r;
        InitRecordData(r);
        TCastRequest& q = r.request;
        CopySpan(q.name, sizeof q.name, rec + kNameAt, kNameWidth);
        q.year = Int16At(rec + kDateAt);
        q.month = Int16At(rec + kDateAt + 2);
        q.day = Int16At(rec + kDateAt + 4);
        q.hour = Int16At(rec + kDateAt + 6);
        q.minute = Int16At(rec + kDateAt + 8);
        q.lunar = rec[kLunarAt];
        q.leap = rec[kLeapAt];
        q.province = Int16At(rec + kProvinceAt);
        q.city = Int16At(rec + kCityAt);
        q.longitude = FloatAt(rec + kLongitudeAt);
        q.latitude = FloatAt(rec + kLatitudeAt);
        CopySpan(q.place, sizeof q.place, rec + kPlaceAt, kPlaceWidth);
        q.noble = rec[kNobleAt];
        q.earth = rec[kEarthAt];
        q.filled = 1;
        WriteGbkField(q.question, kDefaultQuestion);
        q.direct = 0;
        q.general = 0;
        r.id = 0;
        r.category = GbkToUtf8(SpanText(rec + kCategoryAt, kCategoryWidth));
        r.commentFile = GbkToUtf8(SpanText(rec + kFileAt, kFileWidth));
        // A file name that would lead out of the comment folder is neither
        // read nor removed; the case gets a new name.
        if (!IsSafeCommentName(r.commentFile)) MakeCommentFileName(r, r.commentFile);

        const std::string oldFile = r.commentFile;
        const bool renamed = CleanRecord(r);
        if (!renamed) {
            const std::string path = CommentFilePath(r.commentFile);
            std::string text;
            if (PathExists(path) && ReadCommentText(path, text)) {
                RemoveApostrophes(text);
                r.comment = text;
            } else {
                r.comment = kDefaultComment;
            }
        }
        for (int32_t& e : r.extra) e = -1;
        AppendUnique(categories, r.category);
        const bool added = AddCaseInBatch(r) != -1;
        if (added)
            ++converted;
        else
            ++refused;
        if (renamed) moved.push_back({CommentFilePath(oldFile), CommentFilePath(r.commentFile), added});
    }
    legacy.Close();
    const bool committed = EndBatch();
    // A comment file leaves its old name only when its case is stored; the
    // copy under the new name goes when the case is not, so that a later run
    // finds the old file again.
    for (const TMovedComment& m : moved) {
        if (committed && m.added) {
            if (PathExists(m.to)) Comments().Remove(m.from);
        } else {
            Comments().Remove(m.to);
        }
    }

    for (const char* c : kDefaultCategories) AppendUnique(categories, c);
    SetCategories(categories);

    if (!committed) {
        // Nothing reached the database: the file stays for the next start.
        return 0;
    }
    int answer = 0;
    if (converted > 0) {
        RebuildCommentFiles();
        lastError_ = "已经把旧版数据库转换到新版，共转换 " + std::to_string(converted) + " 个案例！";
        answer = 1;
    }
    // Records the database refused stay readable in a renamed copy instead of
    // vanishing with the file; a renamed file is not converted again.
    if (refused > 0)
        RenameOver(legacy.FilePath(), legacy.FilePath() + ".unconverted");
    else
        RemoveFile(legacy.FilePath());
    return answer;
}

}  // namespace qd
