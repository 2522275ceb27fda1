// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/storetask.h"

#include <QObject>
#include <QThread>
#include <condition_variable>
#include <mutex>

#include "store/record_base.h"

namespace qd {

// Steps handed over but not yet run. The thread waits while two are
// outstanding: the GUI thread then takes one step per turn of its event
// loop instead of a pile at once, and answers the user in between.
struct TStoreTask::TFlow {
    static constexpr int kAhead = 2;
    std::mutex mutex;
    std::condition_variable taken;
    int outstanding = 0;
    bool stopped = false;

    void Handed(const std::atomic<bool>& stop) {
        std::unique_lock<std::mutex> lock(mutex);
        taken.wait(lock, [&] { return outstanding < kAhead || stopped || stop; });
        ++outstanding;
    }
    void Took() {
        std::lock_guard<std::mutex> lock(mutex);
        --outstanding;
        taken.notify_one();
    }
    void Stop() {
        std::lock_guard<std::mutex> lock(mutex);
        stopped = true;
        taken.notify_one();
    }
};

TStoreTask::TStoreTask(const MRecordBase& like, QObject* context, TWork work, TDone done)
    : alive_(std::make_shared<bool>(true)), flow_(std::make_shared<TFlow>()) {
    const std::string path = like.DatabasePath(), folder = like.AppFolder();
    // Every step checks, on the GUI thread, that the task still runs: a
    // stopped task's steps may already wait in the queue.
    TPost post = [this, context, alive = alive_, flow = flow_](std::function<void()> step) {
        flow->Handed(stop_);
        QMetaObject::invokeMethod(
            context,
            [alive, flow, step = std::move(step)] {
                if (*alive) step();
                flow->Took();
            },
            Qt::QueuedConnection);
    };
    thread_ = QThread::create([this, alive = alive_, path, folder, post, work = std::move(work),
                               done = std::move(done)] {
        std::string error;
        {
            MRecordBase own;
            if (own.OpenDatabase(path, folder, false) == TOpenResult::Failed)
                error = own.LastError().empty() ? std::string("无法创建或者打开数据库！") : own.LastError();
            else
                work(own, post, stop_);
        }
        post([alive, done, error] {
            *alive = false;
            done(error);
        });
    });
    thread_->start();
}

TStoreTask::~TStoreTask() {
    Stop();
    delete thread_;
}

void TStoreTask::Stop() {
    stop_ = true;
    flow_->Stop();
    *alive_ = false;
    if (thread_) thread_->wait();
}

}  // namespace qd
