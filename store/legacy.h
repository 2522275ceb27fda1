// SPDX-License-Identifier: GPL-3.0-or-later
// Reader of the case file of the earlier fixed-record format
// (dat/Quadrelle.dat, 152-byte little-endian records, GBK texts).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace qd {

constexpr int kLegacyRecordSize = 152;

class MDataBase {
public:
    MDataBase() = default;
    virtual ~MDataBase();
    MDataBase(const MDataBase&) = delete;
    MDataBase& operator=(const MDataBase&) = delete;

    // folder + "dat/" + the name of the index + ".dat"; the only index is 0.
    void SetFile(const std::string& baseFolder, int index);
    const std::string& FilePath() const { return path_; }
    int CountRecords() const;
    bool OpenForReading();
    // False when i is out of range or the record is marked deleted.
    bool ReadRecord(int i, uint8_t (&record)[kLegacyRecordSize]);
    void Close();

private:
    std::string baseFolder_;
    std::string path_;
    std::FILE* file_ = nullptr;
    int count_ = 0;
};

}  // namespace qd
