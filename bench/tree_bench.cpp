// SPDX-License-Identifier: GPL-3.0-or-later
// The case tree at 1 000 to 100 000 cases, offscreen.
//
// BM_TreeFromRows builds the tree of each style and order from prepared
// case summaries: making the rows (node texts and keys), one sort, and
// showing them (model, layout and a paint). Counters: rows_ms making and
// sorting, show_ms showing, tree_mb the resident memory the shown tree adds.
//
// BM_ShowAllCases is "显示全部课例" of the main window at 100 000 cases in
// a database, from the menu to the full tree. Counters: read_ms the baseline
// (the same rows read with one statement and nothing else, on the GUI
// thread), worst_gui_ms the longest the window could not answer (the worst
// lateness of a 5 ms timer) and worst_gui_cpu_ms the GUI thread's own work
// in that time, peak_mb and rss_mb the growth of the peak and of the
// resident memory over the window with its start tree.
//
// BM_StartUp, BM_ReopenCase, BM_DisplayChange and BM_KeywordSearch time the
// window's other operations at 100 000 cases.
#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListWidget>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/casecommands.h"
#include "app/casesearch.h"
#include "app/casetree.h"
#include "app/frmmain.h"
#include "app/frmsamename.h"
#include "app/frmsearch.h"
#include "app/messages.h"
#include "app/shell.h"
#include "app/treecontent.h"
#include "base/encoding.h"
#include "store/case_rows.h"
#include "store/record_base.h"
#include "store/store_tables.h"

namespace {

namespace fs = std::filesystem;
constexpr int kCases = 100000;

// ---------------------------------------------------------------- the cases

// Case k of a varied set: Chinese names with a few Latin and compound
// surnames, one case in five lunar-dated, every stored category.
struct TBenchCase {
    std::string name, question, category;
    int16_t year, month, day, hour, minute;
    bool lunar;
    uint8_t filled;
};

TBenchCase BenchCase(int k) {
    static const char* const kSurnames[] = {"张", "李", "王",   "赵",  "陈",   "刘", "杨", "黄",
                                            "周", "吴", "欧阳", "Lee", "司马", "孙", "马"};
    static const char* const kGiven[] = {"三", "伟", "芳", "娜", "敏", "静", "强", "磊", "军", "洋", "勇"};
    static const char* const kQuestions[] = {"问财运如何，今年能否有所收获",
                                             "问婚姻",
                                             "问病何时能好",
                                             "问求职能否成功",
                                             "问出行平安否",
                                             "问官司胜负如何了结"};
    auto pick = [](const auto& pool, size_t at) { return std::string(pool[at % std::size(pool)]); };
    TBenchCase c;
    c.name = pick(kSurnames, size_t(k) * 7 / 3) + pick(kGiven, size_t(k) / 5);
    c.question = pick(kQuestions, size_t(k) / 3);
    c.category = pick(qd::kDefaultCategories, size_t(k));
    c.year = int16_t(1950 + k % 70);
    c.month = int16_t(1 + k % 12);
    c.day = int16_t(1 + k / 12 % 28);
    c.hour = int16_t(k % 24);
    c.minute = int16_t(k % 60);
    c.lunar = k % 5 == 0;
    c.filled = uint8_t(k % 3 != 0);
    return c;
}

qd::TCaseSummary Summary(int k) {
    const TBenchCase c = BenchCase(k);
    qd::TCaseSummary s;
    s.id = k + 1;
    s.name = c.name;
    s.question = c.question;
    s.category = c.category;
    s.filled = c.filled;
    s.year = c.year;
    s.time = {c.month, c.day, c.hour, c.minute};
    s.lunar = c.lunar;
    return s;
}

const std::vector<qd::TCaseSummary>& Summaries() {
    static const std::vector<qd::TCaseSummary> all = [] {
        std::vector<qd::TCaseSummary> v;
        for (int k = 0; k < kCases; ++k) v.push_back(Summary(k));
        return v;
    }();
    return all;
}

// An application folder with dat/Quadrelle.db of kCases cases and the
// shipped places file, made once per process.
struct TBenchHome {
    std::string home;
    TBenchHome() {
        home = (fs::temp_directory_path() / ("qd_tree_bench_" + std::to_string(getpid()))).string() + "/";
        fs::create_directories(home + "dat");
        fs::copy_file(QD_SOURCE_DIR "/data/dat/dili.ini", home + "dat/dili.ini");
        qd::MRecordBase s;
        s.OpenDatabase(home + "dat/Quadrelle.db", home, false);
        s.BeginBatch();
        for (int k = 0; k < kCases; ++k) {
            const TBenchCase c = BenchCase(k);
            qd::TRecordData r = qd::MakeRecordData();
            r.request.filled = c.filled;
            qd::WriteGbkField(r.request.name, c.name);
            qd::WriteGbkField(r.request.question, c.question);
            qd::WriteGbkField(r.request.place, "福建福州");
            r.request.year = c.year;
            r.request.month = c.month;
            r.request.day = c.day;
            r.request.hour = c.hour;
            r.request.minute = c.minute;
            r.request.lunar = c.lunar;
            r.request.earth = int16_t(1 + k % 12);
            r.category = c.category;
            r.comment = "评语：第" + std::to_string(k) + "例。";
            r.commentFile = c.name + "_" + std::to_string(k);
            s.AddCaseInBatch(r);
        }
        s.EndBatch();
    }
    ~TBenchHome() { fs::remove_all(home); }
};

TBenchHome& Home() {
    static TBenchHome h;
    return h;
}

// ---------------------------------------------------------------- measuring

double Ms(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

// Resident and peak resident memory, in MB.
double StatusMb(const char* key) {
    std::ifstream f("/proc/self/status");
    std::string line;
    const std::string k = std::string(key) + ":";
    while (std::getline(f, line))
        if (line.rfind(k, 0) == 0) return std::stod(line.substr(k.size())) / 1024.0;
    return 0;
}
double RssMb() {
    malloc_trim(0);
    return StatusMb("VmRSS");
}
// Starts a new peak at the present resident size.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// How long the GUI thread could not answer: the worst lateness of a 5 ms
// timer (wall time, which on a loaded machine includes the time other
// processes had the core) and the most CPU time the GUI thread spent
// between two of its ticks (its own work alone).
struct TStall {
    double wall = 0, cpu = 0;
    void Add(const TStall& o) {
        wall = std::max(wall, o.wall);
        cpu = std::max(cpu, o.cpu);
    }
};

// Runs `start`, then the event loop until the tree is no longer busy.
TStall RunUntilIdle(const qd::TCaseTree& tree, const std::function<void()>& start) {
    QEventLoop loop;
    QElapsedTimer since;
    double cpuSince = ThreadCpuMs();
    TStall worst;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        worst.Add({Ms(since) - 5, ThreadCpuMs() - cpuSince});
        since.restart();
        cpuSince = ThreadCpuMs();
        if (!tree.Busy()) loop.quit();
    });
    since.start();
    tick.start();
    start();
    if (tree.Busy()) loop.exec();
    return worst;
}

void ReportStall(benchmark::State& state, const TStall& worst) {
    state.counters["worst_gui_ms"] = worst.wall;
    state.counters["worst_gui_cpu_ms"] = worst.cpu;
}

// ---------------------------------------------------------------- the tree alone

void BM_TreeFromRows(benchmark::State& state) {
    const int style = int(state.range(0)), sort = int(state.range(1));
    const size_t rows = size_t(state.range(2));
    std::vector<std::string> categories(std::begin(qd::kDefaultCategories), std::end(qd::kDefaultCategories));
    const auto& all = Summaries();
    double make = 0, show = 0, mb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<qd::TCaseTree>(nullptr);
        tree->resize(300, 700);
        tree->show();
        tree->SetOrder(style, sort);
        QCoreApplication::processEvents();
        const double before = RssMb();
        state.ResumeTiming();

        QElapsedTimer t;
        t.start();
        qd::TTreeRows made;
        qd::CTreeRowMaker maker(sort);
        for (size_t k = 0; k < rows; ++k) maker.Add(all[k], made);
        qd::SortRows(made, sort);
        make += Ms(t);
        t.restart();
        tree->ShowRows(categories, std::move(made));
        QCoreApplication::processEvents();  // layout and paint
        show += Ms(t);

        state.PauseTiming();
        mb += RssMb() - before;
        tree.reset();
        state.ResumeTiming();
    }
    const double n = double(state.iterations());
    state.counters["rows_ms"] = make / n;
    state.counters["show_ms"] = show / n;
    state.counters["tree_mb"] = mb / n;
}

void TreeArgs(benchmark::internal::Benchmark* b) {
    for (int style : {qd::kShowClassified, qd::kShowList})
        for (int sort = 0; sort <= 4; ++sort)
            for (int rows : {1000, 10000, 100000}) b->Args({style, sort, rows});
    b->ArgNames({"style", "sort", "rows"})->Unit(benchmark::kMillisecond)->UseRealTime();
}
BENCHMARK(BM_TreeFromRows)->Apply(TreeArgs)->Iterations(3);

// ---------------------------------------------------------------- the window

// Messages are counted, not shown; questions get the answer No.
class TQuietMessenger : public qd::IMessenger {
public:
    void Notice(QWidget*, const QString&) override { ++count; }
    qd::TMsgAnswer Box(QWidget*, const QString&, const QString&, qd::TMsgIcon, qd::TMsgButtons b) override {
        ++count;
        return b == qd::TMsgButtons::Ok ? qd::TMsgAnswer::Ok : qd::TMsgAnswer::No;
    }
    int count = 0;
};

// The main window on the bench's application folder, shown once and
// closed before the application ends.
std::unique_ptr<qd::MRecordBase> windowStore;
std::unique_ptr<qd::TFrmMain> window;

qd::TFrmMain& Window(qd::MRecordBase*& store) {
    if (!window) {
        windowStore = std::make_unique<qd::MRecordBase>();
        window = std::make_unique<qd::TFrmMain>(QString::fromStdString(Home().home), windowStore.get());
        window->show();
        QCoreApplication::processEvents();
    }
    store = windowStore.get();
    return *window;
}

void BM_StartUp(benchmark::State& state) {
    Home();
    for (auto _ : state) {
        auto store = std::make_unique<qd::MRecordBase>();
        auto w = std::make_unique<qd::TFrmMain>(QString::fromStdString(Home().home), store.get());
        w->show();  // reads the configuration, opens the store, builds the start tree
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (w->CaseTree().ShownCount() != 1000) state.SkipWithError("no start tree");
        w.reset();
        store.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ShowAllCases(benchmark::State& state) {
    const int style = int(state.range(0)), sort = int(state.range(1));
    qd::MRecordBase* store;
    qd::TFrmMain& w = Window(store);
    qd::TCaseTree& tree = w.CaseTree();
    QAction* menu = w.findChild<QAction*>(QStringLiteral("mnuShowAll"));
    TStall worst;
    double peak = 0, rss = 0, read = 0;
    for (auto _ : state) {
        state.PauseTiming();
        tree.SetOrder(style, sort);
        tree.BuildTree(w.StartIds());
        QCoreApplication::processEvents();
        const double before = RssMb();
        ResetPeak();
        state.ResumeTiming();

        worst.Add(RunUntilIdle(tree, [menu] { menu->trigger(); }));

        state.PauseTiming();
        if (tree.ShownCount() != kCases) state.SkipWithError("the tree is not complete");
        peak = std::max(peak, StatusMb("VmHWM") - before);
        rss = std::max(rss, RssMb() - before);
        QElapsedTimer t;
        t.start();
        size_t bytes = 0;
        qd::ForEachCaseSummary(*store, qd::NewestCases(store->GetLastId()), [&](const qd::TCaseSummary& c) {
            bytes += c.name.size() + c.question.size();
            return true;
        });
        benchmark::DoNotOptimize(bytes);
        read += Ms(t);
        state.ResumeTiming();
    }
    state.counters["read_ms"] = read / double(state.iterations());
    ReportStall(state, worst);
    state.counters["peak_mb"] = peak;
    state.counters["rss_mb"] = rss;
}
BENCHMARK(BM_ShowAllCases)
    ->ArgsProduct({{qd::kShowClassified, qd::kShowList}, {0, 1, 2, 3, 4}})
    ->ArgNames({"style", "sort"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

void BM_DisplayChange(benchmark::State& state) {
    qd::MRecordBase* store;
    qd::TFrmMain& w = Window(store);
    qd::TCaseTree& tree = w.CaseTree();
    tree.SetOrder(qd::kShowList, qd::kSortNone);
    RunUntilIdle(tree, [&] { tree.ShowAllCasesClick(); });
    int sort = 0;
    double read = 0;
    TStall worst;
    for (auto _ : state) {
        state.PauseTiming();
        const std::vector<int> ids = tree.ShownIds();
        QElapsedTimer t;
        t.start();
        size_t n = 0;
        qd::ForEachCaseSummary(*store, qd::ListedCases(ids),
                               [&](const qd::TCaseSummary&) { return ++n > 0; });
        read += Ms(t);
        state.ResumeTiming();
        sort = sort % 4 + 1;
        worst.Add(RunUntilIdle(
            tree, [&] { tree.SetDisplay(sort % 2 ? qd::kShowClassified : qd::kShowList, sort); }));
    }
    if (tree.ShownCount() != kCases) state.SkipWithError("cases lost");
    state.counters["listed_read_ms"] = read / double(state.iterations());
    ReportStall(state, worst);
}
BENCHMARK(BM_DisplayChange)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);

void BM_ReopenCase(benchmark::State& state) {
    qd::MRecordBase* store;
    qd::TFrmMain& w = Window(store);
    w.CaseTree().SetOrder(qd::kShowList, qd::kSortNone);
    w.CaseTree().BuildTree(w.StartIds());
    int k = 0;
    for (auto _ : state) {
        w.CaseTree().SelectCase(kCases - 1 - k++ % 500);
        w.Cases().OpenSelectedCase();
        if (!w.CastShown()) state.SkipWithError("the case did not cast");
    }
}
BENCHMARK(BM_ReopenCase)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// The keyword prompt answers "张 问婚姻"; the hit list is declined.
class TBenchShell : public qd::IShellServices {
public:
    QString ChooseFolder(QWidget*, const QString&) override { return {}; }
    QString ChooseOpenFile(QWidget*, const QString&) override { return {}; }
    bool InputQuery(QWidget*, const QString&, const QString&, QString& value) override {
        value = QStringLiteral("张 问婚姻");
        return true;
    }
    bool OpenFolder(const QString&) override { return true; }
    void EndProgram() override {}
};

void BM_KeywordSearch(benchmark::State& state) {
    qd::MRecordBase* store;
    qd::TFrmMain& w = Window(store);
    TBenchShell shell;
    qd::SetShell(&shell);
    int lists = 0;
    qd::SetDialogRunner([&](QDialog&) {
        ++lists;
        return int(QDialog::Rejected);
    });
    TStall worst;
    for (auto _ : state) worst.Add(RunUntilIdle(w.CaseTree(), [&] { w.Search().FuzzySearchClick(); }));
    qd::SetDialogRunner(nullptr);
    qd::SetShell(nullptr);
    if (lists != int(state.iterations())) state.SkipWithError("no hit list");
    ReportStall(state, worst);
}
BENCHMARK(BM_KeywordSearch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The hit list of a search that finds every case.
void BM_HitList(benchmark::State& state) {
    qd::MRecordBase* store;
    Window(store);
    std::vector<int> hits;
    for (int id = 1; id <= int(state.range(0)); ++id) hits.push_back(id);
    for (auto _ : state) {
        qd::TFrmSameName list(*store, hits);
        if (list.LstRecord->count() != int(hits.size())) state.SkipWithError("lines lost");
    }
}
BENCHMARK(BM_HitList)->Arg(10000)->Arg(kCases)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TQuietMessenger quiet;
    qd::SetMessenger(&quiet);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    window.reset();
    windowStore.reset();
    return 0;
}
