#include "desktop/window_handover.h"

#include "desktop/bus_connection.h"
#include "platform/native_names.h"

#include <QCryptographicHash>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cstdio>

namespace {

// A start waits this long at most for the session bus, and for the running window's answer;
// then it opens a window of its own.
constexpr int busWaitMs = 3000;
constexpr int windowWaitMs = 5000;

const QString busService = QStringLiteral("org.freedesktop.DBus");
const QString applicationInterface = QStringLiteral("org.freedesktop.Application");

// The request's files as addresses, as desktop applications pass them; relative paths are
// taken from the folder this start was made in.
QStringList fileUris(const QStringList &paths)
{
    QStringList uris;
    for (const QString &path : paths)
        uris.append(QString::fromLatin1(
                fileUrlOfNativePath(QFileInfo(path).absoluteFilePath()).toEncoded()));
    return uris;
}

QStringList localPaths(const QStringList &uris)
{
    QStringList paths;
    for (const QString &uri : uris) {
        const QUrl url = QUrl::fromEncoded(uri.toUtf8());
        paths.append(url.isLocalFile() ? nativePathOfFileUrl(url) : uri); // named as not opened
    }
    return paths;
}

} // namespace

// What the session bus sees of the window: org.freedesktop.Application, without actions.
class ApplicationAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit ApplicationAdaptor(WindowHandover *handover)
        : QDBusAbstractAdaptor(handover)
        , m_handover(*handover)
    {}

public slots:
    void Activate(const QVariantMap &platformData) { m_handover.takeRequest({}, platformData); }
    void Open(const QStringList &uris, const QVariantMap &platformData)
    {
        m_handover.takeRequest(localPaths(uris), platformData);
    }

private:
    WindowHandover &m_handover;
};

WindowHandover::WindowHandover(const QString &driveCRoot, QObject *parent)
    : QObject(parent)
    , m_name(busName(driveCRoot))
    , m_path(QLatin1Char('/') + QString(m_name).replace(QLatin1Char('.'), QLatin1Char('/')))
{
    new ApplicationAdaptor(this);
}

WindowHandover::~WindowHandover()
{
    release();
}

// Every installation, every user's own drive and every test's drive has a C: folder of its
// own: programs on one drive share its profiles, samples and results, and are one program.
QString WindowHandover::busName(const QString &driveCRoot)
{
    const QFileInfo root(driveCRoot);
    const QString folder
            = root.exists() ? root.canonicalFilePath() : QDir::cleanPath(root.absoluteFilePath());
    const QByteArray digest = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("org.clipferry.clipferry.Drive_")
           + QString::fromLatin1(digest.toHex().left(16));
}

QVariantMap WindowHandover::activationFromEnvironment()
{
    QVariantMap activation;
    const QString startupId = qEnvironmentVariable("DESKTOP_STARTUP_ID");
    if (!startupId.isEmpty())
        activation.insert(QStringLiteral("desktop-startup-id"), startupId);
    const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    if (!token.isEmpty())
        activation.insert(QStringLiteral("activation-token"), token);
    return activation;
}

bool WindowHandover::handOver(const QStringList &paths, const QVariantMap &activation)
{
    m_connection = connectToBusWithin(Bus::Session, busWaitMs);
    if (m_connection.isEmpty()
        || !QDBusConnection(m_connection)
                    .registerObject(m_path, this, QDBusConnection::ExportAdaptors)) {
        m_connection.clear();
        return false;
    }
    // The running window may end between the claim and the request: the name is then free.
    for (int attempt = 0; attempt < 2; ++attempt) {
        switch (claimName()) {
        case Claim::Ours:
            m_owner = true;
            return false;
        case Claim::Failed:
            return false;
        case Claim::Taken:
            if (askRunningWindow(paths, activation))
                return true;
        }
    }
    return false;
}

WindowHandover::Claim WindowHandover::claimName()
{
    QDBusMessage call = QDBusMessage::createMethodCall(busService,
                                                       QStringLiteral("/org/freedesktop/DBus"),
                                                       busService,
                                                       QStringLiteral("RequestName"));
    constexpr uint doNotQueue = 4;
    call << m_name << doNotQueue;
    const QDBusMessage reply = QDBusConnection(m_connection).call(call, QDBus::Block, busWaitMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return Claim::Failed;
    enum : uint { primaryOwner = 1, exists = 3, alreadyOwner = 4 };
    switch (reply.arguments().value(0).toUInt()) {
    case primaryOwner:
    case alreadyOwner:
        return Claim::Ours;
    case exists:
        return Claim::Taken;
    default:
        return Claim::Failed;
    }
}

bool WindowHandover::askRunningWindow(const QStringList &paths, const QVariantMap &activation)
{
    QDBusMessage call = QDBusMessage::createMethodCall(m_name,
                                                       m_path,
                                                       applicationInterface,
                                                       paths.isEmpty() ? QStringLiteral("Activate")
                                                                       : QStringLiteral("Open"));
    if (!paths.isEmpty())
        call << fileUris(paths);
    call << activation;
    const QDBusMessage reply = QDBusConnection(m_connection).call(call, QDBus::Block, windowWaitMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    std::fprintf(stderr,
                 "clipferry: the Clipferry window already open did not answer (%s)\n",
                 qPrintable(reply.errorMessage()));
    return false;
}

void WindowHandover::serve(Receiver receive)
{
    m_receive = std::move(receive);
    const auto waiting = std::exchange(m_waiting, {});
    for (const auto &[paths, activation] : waiting)
        m_receive(paths, activation);
}

void WindowHandover::takeRequest(const QStringList &paths, const QVariantMap &activation)
{
    if (m_receive)
        m_receive(paths, activation);
    else
        m_waiting.append({paths, activation});
}

void WindowHandover::release()
{
    if (m_connection.isEmpty())
        return;
    QDBusConnection bus(m_connection);
    bus.unregisterObject(m_path);
    if (m_owner) {
        QDBusMessage call = QDBusMessage::createMethodCall(busService,
                                                           QStringLiteral("/org/freedesktop/DBus"),
                                                           busService,
                                                           QStringLiteral("ReleaseName"));
        call << m_name;
        bus.send(call);
    }
    m_owner = false;
    m_connection.clear();
}

#include "window_handover.moc"
