#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

// The files later starts of the program handed to the window, in the order they came, until
// the window can take input: while a message or the folder browser waits for an answer, the
// handler that opened it goes on from where it was once it is answered, and files opened
// before that would change what it works on.
class HandedFiles : public QObject
{
    Q_OBJECT
public:
    using Open = std::function<void(const QStringList &nativePaths)>;
    HandedFiles(QObject *window, Open open);

    void take(const QStringList &nativePaths);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void openWaiting();
    void openSoon();
    void waitFor(QWidget *modal);

    Open m_open;
    QList<QStringList> m_waiting;
    QPointer<QWidget> m_modal; // the message or browser waited for
    bool m_opening = false;
};
