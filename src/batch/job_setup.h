#pragma once

#include "common/program_values.h"
#include "encoder/encoder.h"

#include <QString>

#include <memory>

class FileListBox;
class QLabel;

// The two files of one job, each path built once: joined in the program's own form (as the
// encoder and the messages name it) and translated to the native path the batch's own checks,
// stamps and copies use.
struct JobFiles
{
    QString input;           // "C:\Videos\a.mpg"
    QString inputNative;     // empty when the path leads to no drive
    QString output;          // "C:\Out\a.wmv"
    QString outputNative;    // empty when the path leads to no drive, for the reason below
    QString outputNotNative; // why the output has no native path
};

// The widgets job set-up reads and writes.
struct JobWidgets
{
    const FileListBox *File1; // the input folder
    const FileListBox *File2; // the output folder
    QLabel *Label7;           // names the output being made
};

// The encoder with its source group and two sources, set up file by file from the
// program-wide InputFile and OutputFile in the folders of File1 and File2.
class JobSetup
{
public:
    // The passes are read afresh for each job.
    JobSetup(ProgramValues &values, JobWidgets widgets, const qint16 &PreprocessPasses);
    ~JobSetup();

    // Takes the encoder start-up made and gives it its source group and two sources.
    void load(std::unique_ptr<MediaEncoder> encoder);

    // The encoder start-up set up, with its two sources. Throws Error when there is none:
    // without an engine at start-up every job must say so.
    MediaEncoder &encoderInUse() const;

    // Builds the paths of InputFile and OutputFile in the folders of File1 and File2, which the
    // next SetupJob of the same names and folders uses.
    const JobFiles &buildFiles();

    // Sets the encoder up for InputFile and OutputFile (with the files built for them). Label7
    // shows the output's name and DurationSec keeps the input's duration for the progress monitor.
    // Throws Error at the failing step; the steps before it took effect, and DurationSec keeps the
    // last file's value.
    void SetupJob();

    std::unique_ptr<MediaEncoder> Encoder;
    SourceGroupCollection *SourceGroups = nullptr;
    EncoderSourceGroup *SourceGroup = nullptr;
    EncoderSource *VideoSource = nullptr;
    EncoderSource *AudioSource = nullptr;
    qint32 DurationSec = 0;

private:
    QStringList filesOf() const;

    ProgramValues &m_values;
    JobWidgets m_widgets;
    const qint16 &m_passes;
    QStringList m_filesOf; // the folders and names m_files were built from, until set up
    JobFiles m_files;
};
