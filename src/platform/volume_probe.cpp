#include "platform/volume_probe.h"

#include "platform/native_names.h"
#include "platform/waiting_keys.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <thread>

namespace {

// One question and its answer, shared by the asking thread and the helper thread, either of
// which may be the last to let go of it.
struct Question
{
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
    std::optional<VolumeSpace> answer;
};

WaitingKeys &unanswered()
{
    static auto *keys = new WaitingKeys; // never destroyed, see WaitingKeys
    return *keys;
}

std::optional<VolumeSpace> statVolume(const QByteArray &root)
{
    struct stat folder = {};
    struct statvfs space = {};
    if (::stat(root.constData(), &folder) != 0 || !S_ISDIR(folder.st_mode)
        || ::statvfs(root.constData(), &space) != 0)
        return std::nullopt;
    const auto unit = static_cast<qint64>(space.f_frsize);
    return VolumeSpace{static_cast<qint64>(space.f_blocks) * unit,
                       static_cast<qint64>(space.f_bavail) * unit};
}

} // namespace

std::optional<VolumeSpace> askWithin(const QString &key,
                                     std::chrono::milliseconds limit,
                                     std::function<std::optional<VolumeSpace>()> ask,
                                     bool *noAnswer) // NOLINT(readability-non-const-parameter)
{
    // *noAnswer is set through late.
    bool unused = false;
    bool &late = noAnswer ? *noAnswer : unused;
    late = true;
    if (!unanswered().claim(key))
        return std::nullopt;
    auto question = std::make_shared<Question>();
    std::thread([question, key, ask = std::move(ask)] {
        std::optional<VolumeSpace> answer = ask();
        unanswered().letGo(key);
        const std::lock_guard lock(question->mutex);
        question->answer = answer;
        question->done = true;
        question->answered.notify_all();
    }).detach();

    std::unique_lock lock(question->mutex);
    if (!question->answered.wait_for(lock, limit, [&] { return question->done; }))
        return std::nullopt;
    late = false;
    return question->answer;
}

std::optional<VolumeSpace> askVolume(const QString &nativeRoot, bool *noAnswer)
{
    const QByteArray root = toNativeBytes(nativeRoot);
    return askWithin(
            nativeRoot, volumeAnswerLimit, [root] { return statVolume(root); }, noAnswer);
}
