#include "app/storetask.h"

#include <QObject>
#include <QThread>

#include "store/record_base.h"

namespace qd {

TStoreTask::TStoreTask(const MRecordBase& like, QObject* context, TWork work, TDone done)
    : alive_(std::make_shared<bool>(true)) {
    const std::string path = like.DatabasePath(), folder = like.AppFolder();
    // Every step checks, on the GUI thread, that the task still runs: a
    // stopped task's steps may already wait in the queue.
    TPost post = [context, alive = alive_](std::function<void()> step) {
        QMetaObject::invokeMethod(
            context,
            [alive, step = std::move(step)] {
                if (*alive) step();
            },
            Qt::QueuedConnection);
    };
    thread_ = QThread::create([this, alive = alive_, path, folder, post, work = std::move(work),
                               done = std::move(done)] {
        std::string error;
        {
            MRecordBase own;
            if (own.OpenDatabase(path, folder, false) == -1)
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
    *alive_ = false;
    if (thread_) thread_->wait();
}

}  // namespace qd
