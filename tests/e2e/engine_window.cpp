#include "engine_window.h"

#include "platform/encoder_host.h"
#include "sources/file_list_box.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QtTest>

namespace {

const QString encoderFolder
        = QStringLiteral("C:\\Program Files\\Windows Media Components\\Encoder");
const QString programFolder = QStringLiteral("C:\\Program Files\\Clipferry");

QString buildDriveC()
{
    return qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C", QStringLiteral(CF_BUILD_DRIVE_C));
}

// The encoder folder of the build's own C: drive, where the engine is built.
QString builtEncoderFile(const QString &name)
{
    return buildDriveC() + QStringLiteral("/Program Files/Windows Media Components/Encoder/")
           + name;
}

// The program as installed with its profiles set up: the engine in the encoder folder, the
// three profiles beside the program and in the encoder's profile folder.
void install(TempMachine &machine)
{
    const QString encoder = machine.native(encoderFolder);
    for (const char *file : {"WMEncEng.dll", "WMEncWorker"}) {
        const QString name = QLatin1String(file);
        if (!QFile::link(builtEncoderFile(name), encoder + QLatin1Char('/') + name))
            qFatal("cannot link the built engine file %s", file);
    }
    const QString program = machine.native(programFolder);
    for (const char *level : {"High", "Low", "Medium"}) {
        const QString name = QStringLiteral("Kestrel %1.prx").arg(QLatin1String(level));
        const QString shipped = buildDriveC() + QStringLiteral("/Program Files/Clipferry/") + name;
        if (!QFile::copy(shipped, program + QLatin1Char('/') + name)
            || !QFile::copy(shipped, encoder + QStringLiteral("/Profiles/") + name))
            qFatal("cannot copy the profile %s", qPrintable(name));
    }
}

} // namespace

EngineWindow::EngineWindow(Ticks ticks)
{
    install(machine);
    form = std::make_unique<Form1>(values, [] { return createEncoder(Machine::current()); });
    if (ticks == Ticks::Quick)
        form->Timer1->setInterval(40);
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qWarning("the main window was not shown");
}

EngineWindow::~EngineWindow()
{
    form.reset();
}

void EngineWindow::putFiles(const QString &folder, const QStringList &nativeFiles)
{
    const QString target = machine.makeFolder(folder);
    for (const QString &file : nativeFiles) {
        if (!QFile::copy(file, target + QLatin1Char('/') + QFileInfo(file).fileName()))
            qFatal("cannot copy %s", qPrintable(file));
    }
}

void EngineWindow::chooseFolders(const QString &input, const QString &output)
{
    form->File1->setPath(input);
    form->File2->setPath(output);
}

void EngineWindow::ctrlClickEntries(const QStringList &names)
{
    FileListBox &list = *form->File1;
    for (const QString &name : names) {
        const QList<QListWidgetItem *> found = list.findItems(name, Qt::MatchExactly);
        if (found.size() != 1)
            qFatal("File1 does not list %s", qPrintable(name));
        list.scrollToItem(found.first());
        QTest::mouseClick(list.viewport(),
                          Qt::LeftButton,
                          Qt::ControlModifier,
                          list.visualItemRect(found.first()).center());
    }
}

QString EngineWindow::insertAndChooseCard()
{
    const QString card = machine.addDrive(QLatin1Char('E'), DriveKind::Removable, "POCKETCARD");
    dialogs.answerYes();
    click(form->chkCopytoStorage);
    return card;
}

void EngineWindow::click(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
}

QStringList EngineWindow::entriesOf(const QString &nativeFolder)
{
    return QDir(nativeFolder)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

BatchLog::BatchLog(Form1 &form)
    : m_form(form)
{
    // Connected after the window's own handlers, so each moment shows what they left.
    connect(form.Encoder.get(), &MediaEncoder::stateChanged, this, [this](qint32 state) {
        record(BatchMoment::State, state);
    });
    connect(form.Timer1, &QTimer::timeout, this, [this] { record(BatchMoment::Tick, 0); });
}

void BatchLog::record(BatchMoment::Kind kind, qint32 state)
{
    if (kind == BatchMoment::State && state == EncoderStarting)
        ++m_file;
    BatchMoment moment;
    moment.kind = kind;
    moment.state = state;
    moment.file = m_file;
    moment.statistics = m_form.Encoder->statistics();
    moment.size = m_form.Label1->text();
    moment.duration = m_form.Label2->text();
    moment.status = m_form.Label5->isHidden() ? m_form.Label6->text() : m_form.Label5->text();
    moment.idleStatus = m_form.Label6->text();
    moments.append(moment);
    if (onMoment)
        onMoment(moment);
}

QStringList BatchLog::statusLines() const
{
    QStringList lines;
    for (const BatchMoment &moment : moments) {
        if (lines.isEmpty() || lines.last() != moment.status)
            lines.append(moment.status);
    }
    return lines;
}

QList<BatchMoment> BatchLog::ofFile(int file) const
{
    QList<BatchMoment> result;
    for (const BatchMoment &moment : moments) {
        if (moment.file == file)
            result.append(moment);
    }
    return result;
}

EncoderStatistics BatchLog::lastStatisticsOf(int file) const
{
    for (const BatchMoment &moment : ofFile(file)) {
        if (moment.kind == BatchMoment::State && moment.state == EncoderStopped)
            return moment.statistics;
    }
    return {};
}
