// The case store at 100 000 cases: opening, reading the newest, a keyword
// search, export and compaction, and adding all cases against raw SQLite.
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "base/encoding.h"
#include "store/case_format.h"
#include "store/record_base.h"
#include "store/store_files.h"

namespace {

namespace fs = std::filesystem;
constexpr int kCases = 100000;

qd::TRecordData BenchRecord(int i) {
    qd::TRecordData r = qd::MakeRecordData();
    r.request.filled = 1;
    qd::WriteGbkField(r.request.name, i % 7 == 0 ? "张三" : "李四" + std::to_string(i % 100));
    r.request.year = static_cast<int16_t>(1950 + i % 70);
    r.request.month = static_cast<int16_t>(1 + i % 12);
    r.request.day = static_cast<int16_t>(1 + i % 28);
    r.request.hour = static_cast<int16_t>(i % 24);
    r.request.minute = static_cast<int16_t>(i % 60);
    r.request.longitude = 116.4f;
    r.request.latitude = 39.9f;
    qd::WriteGbkField(r.request.place, "北京北京");
    qd::WriteGbkField(r.request.question, "问财运如何，今年能否有所收获");
    r.category = i % 3 == 0 ? "求财" : "结婚";
    r.comment = "评语：这是第" + std::to_string(i) + "个案例，吉凶参半，宜守不宜攻。";
    r.commentFile = "f" + std::to_string(i);
    return r;
}

// A folder with dat/Quadrelle.db of kCases cases, made once.
struct BenchHome {
    std::string home;
    std::string db;
    BenchHome() {
        home = (fs::temp_directory_path() / ("qd_store_bench_" + std::to_string(getpid()))).string() + "/";
        fs::create_directories(home + "dat");
        fs::create_directories(home + "Quadrelle_f");
        db = home + "dat/Quadrelle.db";
        qd::MRecordBase s;
        s.OpenDatabase(db, home, false);
        s.BeginBatch();
        for (int i = 0; i < kCases; ++i) {
            qd::TRecordData r = BenchRecord(i);
            s.AddCaseInBatch(r);
        }
        s.EndBatch();
    }
    ~BenchHome() { fs::remove_all(home); }
};

BenchHome& Home() {
    static BenchHome h;
    return h;
}

void BM_Open(benchmark::State& state) {
    BenchHome& h = Home();
    for (auto _ : state) {
        qd::MRecordBase s;
        benchmark::DoNotOptimize(s.OpenDatabase(h.db, h.home, true));
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

void BM_ReadNewest1000(benchmark::State& state) {
    BenchHome& h = Home();
    qd::MRecordBase s;
    s.OpenDatabase(h.db, h.home, false);
    for (auto _ : state) {
        s.BeginBatch();
        int read = 0;
        for (int id = s.GetLastId(); id > 0 && read < 1000; --id) {
            qd::TRecordData r;
            read += s.ReadCaseInBatch(id, r) ? 1 : 0;
        }
        s.EndBatch();
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK(BM_ReadNewest1000)->Unit(benchmark::kMillisecond);

void BM_KeywordSearchAll(benchmark::State& state) {
    BenchHome& h = Home();
    qd::MRecordBase s;
    s.OpenDatabase(h.db, h.home, false);
    for (auto _ : state) {
        std::vector<int> ids;
        s.FindCasesByKeywords({"张三", "2004年", "吉凶"}, ids);
        benchmark::DoNotOptimize(ids.size());
    }
}
BENCHMARK(BM_KeywordSearchAll)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportAll(benchmark::State& state) {
    BenchHome& h = Home();
    qd::MRecordBase s;
    s.OpenDatabase(h.db, h.home, false);
    const std::string out = h.home + "export.db";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(out);
        state.ResumeTiming();
        benchmark::DoNotOptimize(s.ExportDatabase(out, {}, true, nullptr, false));
    }
    fs::remove(out);
}
BENCHMARK(BM_ExportAll)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Compact(benchmark::State& state) {
    BenchHome& h = Home();
    const std::string copy = h.home + "dat/compact.db";
    for (auto _ : state) {
        state.PauseTiming();
        fs::copy_file(h.db, copy, fs::copy_options::overwrite_existing);
        qd::MRecordBase s;
        s.OpenDatabase(copy, h.home, false);
        state.ResumeTiming();
        benchmark::DoNotOptimize(s.CompactDatabase(nullptr, false));
    }
    fs::remove(copy);
}
BENCHMARK(BM_Compact)->Unit(benchmark::kMillisecond)->Iterations(3);

// The store's own insert path: all cases in one batch.
void BM_StoreInsert100k(benchmark::State& state) {
    BenchHome& h = Home();
    const std::string db = h.home + "dat/insert.db";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(db);
        qd::MRecordBase s;
        s.OpenDatabase(db, h.home, false);
        state.ResumeTiming();
        s.BeginBatch();
        for (int i = 0; i < kCases; ++i) {
            qd::TRecordData r = BenchRecord(i);
            s.AddCaseInBatch(r);
        }
        s.EndBatch();
    }
    fs::remove(db);
}
BENCHMARK(BM_StoreInsert100k)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor: the same rows through one prepared statement in one
// transaction, without the metadata update per case.
void BM_RawSqliteInsert100k(benchmark::State& state) {
    BenchHome& h = Home();
    const std::string db = h.home + "dat/raw.db";
    std::vector<qd::TCaseValues> rows;
    for (int i = 0; i < kCases; ++i) rows.push_back(qd::RecordToValues(BenchRecord(i), i + 1));
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(db);
        {
            qd::MRecordBase s;
            s.OpenDatabase(db, h.home, false);
        }
        sqlite3* c = nullptr;
        sqlite3_open(db.c_str(), &c);
        state.ResumeTiming();
        sqlite3_exec(c, "begin;", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(c,
                           "insert into case_data values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                           "?, ?, ?, ?, ?);",
                           -1, &st, nullptr);
        for (const qd::TCaseValues& v : rows) {
            for (int k = 0; k < 18; ++k) {
                if (v[k].isInteger)
                    sqlite3_bind_int64(st, k + 1, v[k].integer);
                else
                    sqlite3_bind_text(st, k + 1, v[k].text.data(), int(v[k].text.size()),
                                      SQLITE_STATIC);
            }
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(c, "commit;", nullptr, nullptr, nullptr);
        sqlite3_close(c);
    }
    fs::remove(db);
}
BENCHMARK(BM_RawSqliteInsert100k)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
