// SPDX-License-Identifier: GPL-3.0-or-later
// The case store at 100 000 cases, each operation beside the raw SQLite
// statements doing the same reading or writing, run in turn in the same
// iterations. The raw way opens its connections as the store does (no
// mutex per call) and uses one prepared statement per pass in one
// transaction. Counters: raw_ms and raw_cpu_ms the raw way's wall and CPU
// time per iteration, ratio and cpu_ratio the store's wall and CPU time
// over the raw way's (CPU time is the figure to trust on a loaded machine;
// wall time includes waiting for the disk); count the hits of a search.
#include <sqlite3.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include <benchmark/benchmark.h>

#include "base/encoding.h"
#include "store/case_format.h"
#include "store/case_rows.h"
#include "store/case_text.h"
#include "store/record_base.h"
#include "store/store_files.h"
#include "store/store_tables.h"

namespace {

namespace fs = std::filesystem;
constexpr int kCases = 100000;

// ---------------------------------------------------------------- the cases

template <size_t N>
const char* Pick(const char* const (&pool)[N], size_t k) {
    return pool[k % N];
}

// Varied cases about as large as those of the 52 MB database the figures
// were first taken on; about one in 1000 names starts with 欧阳.
qd::TRecordData BenchRecord(int i) {
    static const char* const kSurnames[] = {"张", "李", "王", "赵", "陈", "刘", "杨", "黄", "周", "吴"};
    static const char* const kGiven[] = {"三", "四", "伟", "芳", "娜", "敏",
                                         "静", "强", "磊", "军", "洋", "勇"};
    static const char* const kPlaces[] = {"北京北京", "福建福州", "广东广州",
                                          "上海上海", "四川成都", "浙江杭州"};
    static const char* const kQuestions[] = {"问财运如何，今年能否有所收获",
                                             "问婚姻",
                                             "问病何时能好",
                                             "问求职能否成功",
                                             "问出行平安否",
                                             "问官司胜负"};
    static const char* const kPhrases[] = {"今日课体三上克下，", "吉凶参半，", "宜守不宜攻。", "财爻旺相，",
                                           "官鬼发动，",         "贵人临门，", "事有反复，",   "终得大吉。",
                                           "需防小人口舌，",     "月将加时，", "用神空亡，",   "至秋方应。"};
    uint32_t seed = static_cast<uint32_t>(i) * 2654435761u + 1;
    auto rng = [&seed] {  // a cheap generator: setting up a mersenne twister per case costs more
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    qd::TRecordData r = qd::MakeRecordData();
    r.request.filled = 1;
    const std::string name = i % 1000 == 7 ? std::string("欧阳") + Pick(kGiven, i)
                                           : std::string(Pick(kSurnames, i)) + Pick(kGiven, i / 10);
    qd::WriteGbkField(r.request.name, name);
    r.request.year = static_cast<int16_t>(1950 + i % 70);
    r.request.month = static_cast<int16_t>(1 + i % 12);
    r.request.day = static_cast<int16_t>(1 + i / 12 % 28);
    r.request.hour = static_cast<int16_t>(i % 24);
    r.request.minute = static_cast<int16_t>(i % 60);
    r.request.lunar = i % 5 == 0;
    r.request.province = static_cast<int16_t>(i % 34);
    r.request.longitude = 116.4f;
    r.request.latitude = 39.9f;
    qd::WriteGbkField(r.request.place, Pick(kPlaces, i / 7));
    qd::WriteGbkField(r.request.question, Pick(kQuestions, i / 3));
    r.category = Pick(qd::kDefaultCategories, i);
    const int phrases = 4 + static_cast<int>(rng() % 30);
    r.comment = "评语：第" + std::to_string(i) + "例。";
    for (int k = 0; k < phrases; ++k) r.comment += Pick(kPhrases, rng());
    r.commentFile = name + "_" + std::to_string(i);
    return r;
}

class CSqlite {
public:
    explicit CSqlite(const std::string& path) {
        sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr);
    }
    ~CSqlite() { sqlite3_close(db_); }
    CSqlite(const CSqlite&) = delete;
    CSqlite& operator=(const CSqlite&) = delete;
    sqlite3* operator*() const { return db_; }
    void Exec(const char* sql) const { sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

private:
    sqlite3* db_ = nullptr;
};

constexpr const char* kInsertSql =
    "insert into case_data values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);";

void BindValues(sqlite3_stmt* st, const qd::TCaseValues& v) {
    for (int k = 0; k < static_cast<int>(qd::kCaseColumnCount); ++k) {
        if (v[k].isInteger)
            sqlite3_bind_int64(st, k + 1, v[k].integer);
        else
            sqlite3_bind_text(st, k + 1, v[k].text.data(), static_cast<int>(v[k].text.size()), SQLITE_STATIC);
    }
}

// Rows 0..count-1 through one prepared insert with SQLITE_STATIC texts, in
// one transaction, primaryId written once.
void InsertRows(const std::string& db, int count, const std::function<const qd::TCaseValues&(int)>& row) {
    CSqlite c(db);
    c.Exec("begin;");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(*c, kInsertSql, -1, &st, nullptr);
    for (int k = 0; k < count; ++k) {
        BindValues(st, row(k));
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    c.Exec(("update case_extra set primaryId=" + std::to_string(count) + ";").c_str());
    c.Exec("commit;");
}

// An empty case database at `path`, made by the store.
void MakeEmptyDatabase(const std::string& path, const std::string& home) {
    fs::remove(path);
    qd::MRecordBase s;
    s.OpenDatabase(path, home, false);
}

// A folder with dat/Quadrelle.db of kCases cases, made once per process
// through one prepared insert.
struct BenchHome {
    std::string home;
    std::string db;
    std::vector<qd::TCaseValues> values;
    BenchHome() {
        home = (fs::temp_directory_path() / ("qd_store_bench_" + std::to_string(getpid()))).string() + "/";
        fs::create_directories(home + "dat");
        fs::create_directories(home + "Quadrelle_f");
        db = home + "dat/Quadrelle.db";
        values.reserve(kCases);
        for (int i = 0; i < kCases; ++i) values.push_back(qd::RecordToValues(BenchRecord(i), i + 1));
        MakeEmptyDatabase(db, home);
        InsertRows(db, kCases, [this](int k) -> const qd::TCaseValues& { return values[k]; });
    }
    ~BenchHome() { fs::remove_all(home); }
};

BenchHome& Home() {
    static BenchHome h;
    return h;
}

// ---------------------------------------------------------------- pairing

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

struct TSpan {
    double wall = 0, cpu = 0;
};

TSpan Measure(const std::function<void()>& work) {
    const auto w0 = std::chrono::steady_clock::now();
    const double c0 = CpuSeconds();
    work();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count(), CpuSeconds() - c0};
}

// Each iteration: prepare, the store's way (the timed part), prepare again,
// the raw way (untimed). Interleaving keeps the ratio honest on a machine
// whose load changes.
void Paired(benchmark::State& state, const std::function<void()>& prepare, const std::function<void()>& store,
            const std::function<void()>& raw) {
    TSpan s, r;
    for (auto _ : state) {
        state.PauseTiming();
        prepare();
        state.ResumeTiming();
        const TSpan one = Measure(store);
        state.PauseTiming();
        prepare();
        const TSpan other = Measure(raw);
        state.ResumeTiming();
        s.wall += one.wall, s.cpu += one.cpu;
        r.wall += other.wall, r.cpu += other.cpu;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["raw_ms"] = r.wall / n * 1e3;
    state.counters["raw_cpu_ms"] = r.cpu / n * 1e3;
    state.counters["ratio"] = s.wall / r.wall;
    state.counters["cpu_ratio"] = s.cpu / r.cpu;
}

void Nothing() {}

// Steps a select over every row, fetching each column's text or number.
void RawScan(const std::string& db, const char* sql) {
    CSqlite c(db);
    c.Exec("begin;");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(*c, sql, -1, &st, nullptr);
    size_t bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const int n = sqlite3_column_count(st);
        for (int k = 0; k < n; ++k) {
            if (sqlite3_column_type(st, k) == SQLITE_INTEGER) {
                bytes += static_cast<size_t>(sqlite3_column_int64(st, k));
            } else {
                benchmark::DoNotOptimize(sqlite3_column_text(st, k));
                bytes += static_cast<size_t>(sqlite3_column_bytes(st, k));
            }
        }
    }
    sqlite3_finalize(st);
    c.Exec("commit;");
    benchmark::DoNotOptimize(bytes);
}

// Copies every row of `from` into a new case database `to` through one
// select and one prepared insert in one transaction.
void RawCopy(const std::string& from, const std::string& to) {
    MakeEmptyDatabase(to, Home().home);
    CSqlite source(from), target(to);
    source.Exec("begin;");
    target.Exec("begin;");
    sqlite3_stmt* sel = nullptr;
    sqlite3_stmt* ins = nullptr;
    sqlite3_prepare_v2(*source, "select * from case_data order by id;", -1, &sel, nullptr);
    sqlite3_prepare_v2(*target, kInsertSql, -1, &ins, nullptr);
    int n = 0;
    while (sqlite3_step(sel) == SQLITE_ROW) {
        sqlite3_bind_int(ins, 1, ++n);
        for (int k = 1; k < static_cast<int>(qd::kCaseColumnCount); ++k)
            sqlite3_bind_value(ins, k + 1, sqlite3_column_value(sel, k));
        sqlite3_step(ins);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(sel);
    sqlite3_finalize(ins);
    target.Exec(("update case_extra set primaryId=" + std::to_string(n) + ";").c_str());
    target.Exec("commit;");
    source.Exec("commit;");
}

// A reading of the bench store beside a raw scan; `read` answers a count,
// which keeps its work from being optimised away.
void ReadBeside(benchmark::State& state, const char* rawSql,
                const std::function<size_t(qd::MRecordBase&)>& read) {
    BenchHome& h = Home();
    qd::MRecordBase s;
    s.OpenDatabase(h.db, h.home, false);
    size_t count = 0;
    Paired(
        state, Nothing, [&] { count = read(s); }, [&] { RawScan(h.db, rawSql); });
    state.counters["count"] = static_cast<double>(count);
}

// ---------------------------------------------------------------- searches

constexpr const char* kKeywordScan =
    "select id, name, event, addrName, className, dateY, dateNum, remarkText from case_data "
    "where id between 1 and 100000 order by id;";

// Counts: the hits.
void KeywordSearch(benchmark::State& state, const std::vector<std::string>& keywords) {
    ReadBeside(state, kKeywordScan, [&](qd::MRecordBase& s) {
        std::vector<int> ids;
        s.FindCasesByKeywords(keywords, ids);
        return ids.size();
    });
    state.counters["db_mb"] = static_cast<double>(fs::file_size(Home().db)) / 1e6;
}

// A name few cases have, and a character most comments hold.
void BM_KeywordSearchNarrow(benchmark::State& state) { KeywordSearch(state, {"欧阳"}); }
BENCHMARK(BM_KeywordSearchNarrow)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_KeywordSearchBroad(benchmark::State& state) { KeywordSearch(state, {"吉"}); }
BENCHMARK(BM_KeywordSearchBroad)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ConditionalSearch(benchmark::State& state) {
    qd::TSearchCriteria c;
    c.province = -1;
    c.nameMode = 1;
    c.name = "张";
    c.yearsGiven = 1;
    c.yearFrom = 1990;
    c.yearTo = 2010;
    c.commentGiven = 1;
    c.comment = "大吉";
    ReadBeside(state,
               "select id, name, className, event, remarkText, dateY, addrInd from case_data "
               "where id between 1 and 100000 order by id;",
               [&](qd::MRecordBase& s) {
                   std::vector<int> ids;
                   s.FindCases(c, ids);
                   return ids.size();
               });
}
BENCHMARK(BM_ConditionalSearch)->Unit(benchmark::kMillisecond)->Iterations(5);

// ---------------------------------------------------------------- lists

constexpr const char* kListScan =
    "select id, name, sex, className, dateY, dateNum, dateStyle, event from case_data "
    "where id between 1 and 100000 order by id;";

// What qdl db list does: every case in the reader's light form, then the
// node text.
void BM_List(benchmark::State& state) {
    ReadBeside(state, kListScan, [](qd::MRecordBase& s) {
        size_t bytes = 0;
        qd::ForEachCaseSummary(s, qd::EveryCase(), [&](const qd::TCaseSummary& c) {
            bytes += qd::CaseNodeText(c).size();
            return true;
        });
        return bytes;
    });
}
BENCHMARK(BM_List)->Unit(benchmark::kMillisecond)->Iterations(3);

// The reader's record form, what the maintenance copies read: every case
// as ReadCase gives it, beside a raw scan of every column.
void BM_ReadAllRecords(benchmark::State& state) {
    ReadBeside(state, "select * from case_data where id between 1 and 100000 order by id;",
               [](qd::MRecordBase& s) {
                   size_t bytes = 0;
                   qd::ForEachCaseRecord(s, qd::EveryCase(), [&](qd::TRecordData& r) {
                       bytes += r.comment.size();
                       return true;
                   });
                   return bytes;
               });
}
BENCHMARK(BM_ReadAllRecords)->Unit(benchmark::kMillisecond)->Iterations(3);

// ---------------------------------------------------------------- copies

void BM_Export(benchmark::State& state) {
    BenchHome& h = Home();
    qd::MRecordBase s;
    s.OpenDatabase(h.db, h.home, false);
    const std::string out = h.home + "export.db";
    Paired(
        state, [&] { fs::remove(out); },
        [&] { benchmark::DoNotOptimize(s.ExportDatabase(out, {}, true, nullptr, false)); },
        [&] { RawCopy(h.db, out); });
    fs::remove(out);
}
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Compact(benchmark::State& state) {
    BenchHome& h = Home();
    const std::string copy = h.home + "dat/compact.db";
    const std::string back = h.home + "dat/raw_back.db";
    Paired(
        state, [&] { fs::copy_file(h.db, copy, fs::copy_options::overwrite_existing); },
        [&] {
            qd::MRecordBase s;
            s.OpenDatabase(copy, h.home, false);
            benchmark::DoNotOptimize(s.CompactDatabase(nullptr, false));
        },
        [&] {
            RawCopy(copy, back);
            fs::rename(back, copy);
        });
    fs::remove(copy);
}
BENCHMARK(BM_Compact)->Unit(benchmark::kMillisecond)->Iterations(3);

// ---------------------------------------------------------------- inserts

// The raw way: the rows' values made beforehand.
void RawInsert(const std::string& db) {
    InsertRows(db, kCases, [](int k) -> const qd::TCaseValues& { return Home().values[k]; });
}

std::vector<qd::TRecordData>& Records();

void Inserts(benchmark::State& state, const std::function<void(const std::string&)>& insert) {
    BenchHome& h = Home();
    Records();  // made before the timing
    const std::string db = h.home + "dat/insert.db";
    Paired(
        state, [&] { MakeEmptyDatabase(db, h.home); }, [&] { insert(db); }, [&] { RawInsert(db); });
    fs::remove(db);
}

std::vector<qd::TRecordData>& Records() {
    static std::vector<qd::TRecordData> records = [] {
        std::vector<qd::TRecordData> r;
        r.reserve(kCases);
        for (int i = 0; i < kCases; ++i) r.push_back(BenchRecord(i));
        return r;
    }();
    return records;
}

// The store's insert path: every case through AddCaseInBatch in one batch.
void BM_Insert(benchmark::State& state) {
    Inserts(state, [](const std::string& db) {
        qd::MRecordBase s;
        s.OpenDatabase(db, Home().home, false);
        s.BeginBatch();
        // By reference: the record's id is the only field the store changes.
        for (qd::TRecordData& r : Records()) s.AddCaseInBatch(r);
        s.EndBatch();
    });
}
BENCHMARK(BM_Insert)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
