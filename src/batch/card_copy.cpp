#include "batch/batch_run.h"

#include "batch/job_setup.h"

#include "common/error.h"
#include "common/texts.h"
#include "platform/copy_file.h"
#include "platform/file_system.h"
#include "platform/win_paths.h"

#include <QEventLoop>
#include <QThread>

#include <memory>

namespace {

// Why a copy to the card failed, for the end-of-batch box.
QString copyFailure(const FolderCopy &copy, const QString &source, const QString &target)
{
    return QStringLiteral("cannot %1 %2: %3")
            .arg(copy.failedReading() ? QStringLiteral("read") : QStringLiteral("write"),
                 copy.failedReading() ? source : target,
                 systemReason(copy.error()));
}

} // namespace

// After each finished file: a copy of the output its set-up named, in the root folder of the
// chosen storage card. A card that is not ready, that is gone (pulled or unmounted since it
// was chosen), or that already holds a file of that name is passed by without a word. A card
// that does not answer within the time limit, and a copy that fails, are named at the end of
// the batch, which goes on; the output stays where the encoder wrote it, and the card holds
// no part of it under its name.
void BatchRun::copyToStorageCard(const QString &input, const JobFiles &files)
{
    const QString &outputPath = files.output;
    // With the box ticked but no card chosen there is nowhere to copy to.
    const QString card = m_sources.storageCard();
    if (card.isEmpty())
        return;
    FileSystemObject &fileSystem = m_sources.fileSystem();
    const QString cardRoot = card + QStringLiteral(":\\");
    if (!fileSystem.DriveExists(cardRoot))
        return;
    const DriveObject drive = fileSystem.GetDrive(fileSystem.GetDriveName(cardRoot));
    const QString name = nameInPath(outputPath);
    const QString notCopied = QStringLiteral("not copied to the storage card: ");
    const DriveObject::Readiness readiness = drive.readiness();
    if (readiness == DriveObject::Readiness::NoAnswer)
        addRemark(input, notCopied + QStringLiteral("the card did not answer"));
    if (readiness != DriveObject::Readiness::Ready || fileSystem.FileExists(cardRoot + name))
        return;

    if (files.outputNative.isEmpty()) {
        addRemark(input, notCopied + files.outputNotNative);
        return;
    }
    FolderCopy copy(files.outputNative, drive.nativeRoot(), name);
    copy.keepExistingFile();
    copy.removeLeftTemporariesFirst();
    copyOffWindowThread(copy);
    if (copy.outcome() == FolderCopy::Outcome::Failed)
        addRemark(input, notCopied + copyFailure(copy, outputPath, cardRoot + name));
}

// A large file on a slow card takes seconds: the copy runs on a worker thread while the
// window goes on handling its events in a nested loop, as during the encode.
void BatchRun::copyOffWindowThread(FolderCopy &copy)
{
    QEventLoop wait;
    const std::unique_ptr<QThread> worker(QThread::create([&copy] { copy.run(); }));
    connect(worker.get(), &QThread::finished, &wait, &QEventLoop::quit);
    m_cardCopy = &copy;
    worker->start();
    wait.exec();
    m_cardCopy = nullptr;
    if (worker->isFinished())
        return;
    // The program quits under the copy: it is abandoned, and its temporary goes with it.
    m_closing = true;
    copy.cancel();
    worker->wait();
}
