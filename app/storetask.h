// SPDX-License-Identifier: GPL-3.0-or-later
// TStoreTask: work on the case database off the GUI thread. The work runs
// on a thread of its own through a store of its own, opened on the same
// database file as the window's store, which is never touched from it. What
// the work hands back reaches the GUI thread queued, and only while the
// task has not been stopped.
#pragma once

#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

class QObject;
class QThread;

namespace qd {

class MRecordBase;

class TStoreTask {
public:
    // Hands a step to the GUI thread, where it runs in the order handed. It
    // waits while the GUI thread has not yet taken the steps before.
    using TPost = std::function<void(std::function<void()> step)>;
    // Runs on the task's thread. `stop` is set when the task is stopped;
    // long work looks at it between cases.
    using TWork = std::function<void(MRecordBase& own, const TPost& post, const std::atomic<bool>& stop)>;
    // Runs on the GUI thread after the last step: `error` is empty, or the
    // reason the task's store could not be opened (the work did not run).
    using TDone = std::function<void(const std::string& error)>;

    // Starts at once. `context` is the GUI object the steps belong to: they
    // are dropped when it is gone.
    TStoreTask(const MRecordBase& like, QObject* context, TWork work, TDone done);
    // Stops the task.
    ~TStoreTask();
    TStoreTask(const TStoreTask&) = delete;
    TStoreTask& operator=(const TStoreTask&) = delete;

    // True until the done step has run or the task was stopped.
    bool Running() const { return *alive_; }
    // Sets the stop request and waits for the thread; no step of the task
    // runs afterwards, the done step neither.
    void Stop();

private:
    struct TFlow;
    std::shared_ptr<bool> alive_;  // read and written on the GUI thread only
    std::shared_ptr<TFlow> flow_;
    std::atomic<bool> stop_{false};
    QThread* thread_ = nullptr;
};

}  // namespace qd
