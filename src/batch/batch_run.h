#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class FileListBox;
class FileSystemObject;
class FolderCopy;
class JobSetup;
class QEventLoop;
struct JobFiles;
struct OutputStamp;
struct ProgramValues;

// What a batch works on. The lists and the choices are read afresh for each file: the folder
// buttons, the pass options and the card choice stay usable while a batch runs, and a change
// applies from the next file on.
struct BatchSources
{
    const FileListBox &inputs; // the input folder, its entries and which of them are selected
    // The program-wide InputFile and OutputFile, set for each file.
    ProgramValues &values;
    // The encoder, and its set-up for each file.
    JobSetup &job;
    // The letter of the storage card each finished output is copied to; empty for none.
    std::function<QString()> storageCard;
    // The file-system object, asked only while the window is open.
    std::function<FileSystemObject &()> fileSystem;
};

// One batch: the selected entries of the input list, encoded one after another, each copied
// to the storage card when it is finished. It owns the batch's state and its wait for the
// encoder; the window shows what it reports through the signals.
class BatchRun : public QObject
{
    Q_OBJECT
public:
    explicit BatchRun(BatchSources sources, QObject *parent = nullptr);
    ~BatchRun() override;

    // Encodes the selected entries; the description of the error that ended the batch, empty
    // when it went through to its end.
    QString run();
    // The encoder reported its stopped state.
    void encoderStopped();
    // The window closes: the current file is stopped and finished properly (its partial output
    // plays), a copy to the card is abandoned, and the batch starts no further file.
    void endForClose();

    bool closing() const { return m_closing; }
    int filesOfBatch() const { return m_filesOfBatch; }
    int filesConverted() const { return m_filesConverted; }
    // What the box at the batch's end says; empty when there is nothing to tell.
    QString endOfBatchText() const;

signals:
    void fileStarting();     // a file is being set up
    void encodeStarted();    // the encoder started on it
    void readyForNextFile(); // its encode or its set-up ended: the window is idle again

private:
    void encodeEntry(int index);
    bool claimOutputName(const QString &input, const QString &output, const JobFiles &files);
    bool setUpEntry(const QString &input, const JobFiles &files);
    void finishEntry(const QString &input, const JobFiles &files, const OutputStamp &before);
    void waitForStopped();
    void finishPartialFileBeforeClose();
    void copyToStorageCard(const QString &input, const JobFiles &files);
    void copyOffWindowThread(FolderCopy &copy);
    void addRemark(const QString &input, const QString &remark);

    BatchSources m_sources;
    bool m_closing = false;           // the window closes: the batch starts no further file
    bool m_encoderStopped = false;    // the stopped state arrived for the file that runs
    QEventLoop *m_wait = nullptr;     // the wait for the stopped state, while it runs
    FolderCopy *m_cardCopy = nullptr; // the copy to the card that runs, while it runs
    QStringList m_notConverted; // "name: reason" of each selected file the batch did not convert
    QStringList m_remarks;      // "name: remark" of each file converted with a remark
    QHash<QString, QString> m_outputsOfBatch; // case-folded output path -> the input it is for
    int m_filesOfBatch = 0;                   // entries selected when the batch started
    int m_filesConverted = 0;                 // of them, the ones converted (or stopped) so far
};
