// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the legacy case file (dat/Quadrelle.dat) and its
// conversion, in a scratch application folder: any file must convert
// without a crash or a sanitizer report, nothing outside the comment
// folder and dat/ may appear, change or go, and every converted case must
// have a comment file name that stays inside the comment folder.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "store/case_rows.h"
#include "store/comment_folder.h"
#include "store/record_base.h"

namespace {

namespace fs = std::filesystem;

// <scratch>/outside.rtf must survive; <scratch>/app/ is the application
// folder, holding one comment file a record may name.
const fs::path& Scratch() {
    static const fs::path path = fs::temp_directory_path() / ("qd_legacy_fuzz_" + std::to_string(getpid()));
    return path;
}

void Write(const fs::path& p, const std::string& data) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << data;
}

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path app = Scratch() / "app";
    fs::remove_all(app);
    fs::create_directories(app / "dat");
    fs::create_directories(app / "Quadrelle_f");
    Write(Scratch() / "outside.rtf", "{\\rtf1 outside}");
    Write(app / "Quadrelle_f" / "a.rtf", "{\\rtf1 a}");
    Write(app / "dat" / "Quadrelle.dat", std::string(reinterpret_cast<const char*>(data), size));

    qd::MRecordBase s;
    const std::string folder = app.string() + "/";
    if (s.OpenDatabase(folder + "dat/Quadrelle.db", folder, true) == qd::TOpenResult::Failed)
        __builtin_trap();
    qd::ForEachCaseRecord(s, qd::EveryCase(), [&](qd::TRecordData& r) {
        if (!qd::IsInsideCommentFolder(folder, s.CommentFilePath(r.commentFile))) __builtin_trap();
        return true;
    });
    if (Read(Scratch() / "outside.rtf") != "{\\rtf1 outside}") __builtin_trap();
    for (const auto& e : fs::directory_iterator(Scratch()))
        if (e.path().filename() != "app" && e.path().filename() != "outside.rtf") __builtin_trap();
    for (const auto& e : fs::directory_iterator(app))
        if (e.path().filename() != "dat" && e.path().filename() != "Quadrelle_f") __builtin_trap();
    return 0;
}
