// SPDX-License-Identifier: GPL-3.0-or-later
// GBK conversions of a typical record field: the table-driven conversions
// beside the system converter run over each text, as they were made before.
#include <iconv.h>

#include <string>

#include <benchmark/benchmark.h>

#include "base/encoding.h"

namespace {

const std::string kField = "问财运如何，今年能否有所收获 2004年";

// The converter, opened once and reset for every text.
class CIconv {
public:
    CIconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~CIconv() { iconv_close(cd_); }
    std::string Run(const std::string& in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(in.size() * 2 + 16, '\0');
        char* inPtr = const_cast<char*>(in.data());
        char* outPtr = out.data();
        size_t inLeft = in.size(), outLeft = out.size();
        iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    iconv_t cd_;
};

void BM_Utf8ToGbkTable(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(qd::Utf8ToGbk(kField));
}
BENCHMARK(BM_Utf8ToGbkTable);

void BM_Utf8ToGbkIconv(benchmark::State& state) {
    CIconv c("GBK", "UTF-8");
    for (auto _ : state) benchmark::DoNotOptimize(c.Run(kField));
}
BENCHMARK(BM_Utf8ToGbkIconv);

void BM_GbkToUtf8Table(benchmark::State& state) {
    const std::string gbk = qd::Utf8ToGbk(kField);
    for (auto _ : state) benchmark::DoNotOptimize(qd::GbkToUtf8(gbk));
}
BENCHMARK(BM_GbkToUtf8Table);

void BM_GbkToUtf8Iconv(benchmark::State& state) {
    const std::string gbk = qd::Utf8ToGbk(kField);
    CIconv c("UTF-8", "GB18030");
    for (auto _ : state) benchmark::DoNotOptimize(c.Run(gbk));
}
BENCHMARK(BM_GbkToUtf8Iconv);

// Writing a 200-byte record field and reading it back, against the check
// the searches make instead.
void BM_FieldWriteRead(benchmark::State& state) {
    char field[201];
    for (auto _ : state) {
        qd::WriteGbkField(field, kField);
        benchmark::DoNotOptimize(qd::ReadGbkField(field));
    }
}
BENCHMARK(BM_FieldWriteRead);

void BM_FieldText(benchmark::State& state) {
    std::string scratch;
    for (auto _ : state) benchmark::DoNotOptimize(qd::GbkFieldText(kField, 201, scratch));
}
BENCHMARK(BM_FieldText);

}  // namespace
