#include "browser/timed_listing.h"

#include "common/step_over.h"
#include "platform/sub_folder_listing.h"
#include "platform/waiting_keys.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Waited for without handling any event: a listing that answers within this is not worth
// a busy pointer.
constexpr auto quickAnswer = 25ms;
constexpr auto reviewEvery = 10ms;
// A helper this long without an entry is taken to wait on its file system: another one
// takes up the folders still queued, so one hung folder holds up none of its neighbours.
constexpr auto stalled = 100ms;
constexpr int firstHelpers = 4;
constexpr int mostHelpers = 64;

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
            .count();
}

// The folders whose listing is still waiting for its file system, whichever call started it.
WaitingKeys &waiting()
{
    static auto *folders = new WaitingKeys; // never destroyed, see WaitingKeys
    return *folders;
}

// One call's work, shared by the window thread and its helpers, whichever lets go last.
struct Work
{
    enum class State { Queued, Listing, Done }; // Done: listed, failed or given up

    explicit Work(const QStringList &nativeFolders)
        : folders(nativeFolders)
        , states(folders.size(), State::Queued)
        , results(folders.size())
        , helperOn(folders.size(), false)
        , lastSignNs(folders.size())
        , anySignNs(nowNs())
        , open(int(folders.size()))
    {}

    const QStringList folders;
    std::mutex mutex;
    std::condition_variable allDone;
    std::vector<State> states;
    std::vector<std::optional<QStringList>> results;
    std::vector<bool> helperOn;                  // a helper is listing the folder, given up or not
    std::vector<std::atomic<qint64>> lastSignNs; // when the folder's listing last read an entry
    // When any listing last read an entry or ended: a queued folder is silent from then.
    std::atomic<qint64> anySignNs;
    int next = 0;           // the first folder that may still be queued
    int open = 0;           // folders not done
    int helpers = 0;        // helpers that have not ended
    bool takenOver = false; // the window thread took what there was and went on
};

// The folder's sub-folders, or none; none at once while an earlier listing of it waits.
std::optional<QStringList>
listOnce(const QString &folder, std::atomic<qint64> &lastSignNs, std::atomic<qint64> &anySignNs)
{
    if (!waiting().claim(folder))
        return std::nullopt;
    std::optional<QStringList> names;
    stepOver([&] {
        names = listNativeSubFolders(folder, [&] {
            const qint64 now = nowNs();
            lastSignNs.store(now, std::memory_order_relaxed);
            anySignNs.store(now, std::memory_order_relaxed);
        });
    });
    waiting().letGo(folder);
    return names;
}

// A helper: lists queued folders one after another until none is left or the window thread
// has gone on.
void help(const std::shared_ptr<Work> &work)
{
    for (;;) {
        int index = 0;
        {
            const std::lock_guard lock(work->mutex);
            while (work->next < int(work->states.size())
                   && work->states[work->next] != Work::State::Queued)
                ++work->next;
            if (work->takenOver || work->next == int(work->states.size())) {
                --work->helpers;
                return;
            }
            index = work->next++;
            work->states[index] = Work::State::Listing;
            work->helperOn[index] = true;
            work->lastSignNs[index].store(nowNs());
        }
        std::optional<QStringList> names
                = listOnce(work->folders[index], work->lastSignNs[index], work->anySignNs);
        const std::lock_guard lock(work->mutex);
        work->anySignNs.store(nowNs(), std::memory_order_relaxed);
        work->helperOn[index] = false;
        if (work->states[index] == Work::State::Listing) {
            work->results[index] = std::move(names);
            work->states[index] = Work::State::Done;
            if (--work->open == 0)
                work->allDone.notify_all();
        }
    }
}

// Called with the work's mutex held.
bool addHelper(const std::shared_ptr<Work> &work)
{
    ++work->helpers;
    if (stepOver([&] { std::thread([work] { help(work); }).detach(); }))
        return true;
    --work->helpers; // no thread to be had: the helpers there are go on
    return false;
}

// Gives up the folders silent for the limit, and adds a helper where every helper waits on
// its file system while folders are queued. True once every folder is done.
bool review(const std::shared_ptr<Work> &work, std::chrono::milliseconds silenceLimit)
{
    const std::lock_guard lock(work->mutex);
    const qint64 now = nowNs();
    const qint64 limitNs = std::chrono::nanoseconds(silenceLimit).count();
    const qint64 stalledNs = std::chrono::nanoseconds(stalled).count();
    int stalledHelpers = 0;
    bool queued = false;
    for (std::size_t i = 0; i < work->states.size(); ++i) {
        const std::atomic<qint64> &sign
                = work->states[i] == Work::State::Queued ? work->anySignNs : work->lastSignNs[i];
        const qint64 silent = now - sign.load(std::memory_order_relaxed);
        if (work->helperOn[i] && silent > stalledNs)
            ++stalledHelpers;
        if (work->states[i] == Work::State::Done)
            continue;
        if (silent > limitNs) {
            work->states[i] = Work::State::Done;
            --work->open;
        } else if (work->states[i] == Work::State::Queued) {
            queued = true;
        }
    }
    if (queued && stalledHelpers >= work->helpers && work->helpers < mostHelpers)
        addHelper(work);
    return work->open == 0;
}

// Past the quick answer, waits in an event loop that leaves the user's input queued.
void waitFor(const std::shared_ptr<Work> &work, std::chrono::milliseconds silenceLimit)
{
    {
        std::unique_lock lock(work->mutex);
        if (work->allDone.wait_for(lock, quickAnswer, [&] { return work->open == 0; }))
            return;
    }
    if (review(work, silenceLimit))
        return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    QEventLoop loop;
    QTimer reviews;
    QObject::connect(&reviews, &QTimer::timeout, &loop, [&] {
        if (review(work, silenceLimit))
            loop.quit();
    });
    reviews.start(reviewEvery);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    QGuiApplication::restoreOverrideCursor();
}

} // namespace

QList<std::optional<QStringList>> listSubFoldersWithin(const QStringList &nativeFolders,
                                                       std::chrono::milliseconds silenceLimit)
{
    if (nativeFolders.isEmpty())
        return {};
    auto work = std::make_shared<Work>(nativeFolders);
    {
        const std::lock_guard lock(work->mutex);
        for (int i = 0; i < std::min<int>(firstHelpers, int(nativeFolders.size())); ++i)
            addHelper(work);
    }
    waitFor(work, silenceLimit);
    const std::lock_guard lock(work->mutex);
    work->takenOver = true;
    QList<std::optional<QStringList>> results;
    results.reserve(nativeFolders.size());
    for (std::optional<QStringList> &names : work->results)
        results.append(std::move(names));
    return results;
}
