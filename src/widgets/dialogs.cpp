#include "widgets/dialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace {
DialogService *&installed()
{
    static DialogService *service = nullptr;
    return service;
}
} // namespace

DialogService &dialogs()
{
    static QtDialogService qtService;
    DialogService *service = installed();
    return service ? *service : qtService;
}

void setDialogs(DialogService *service)
{
    installed() = service;
}

void msgBox(const QString &text)
{
    dialogs().show(text, MsgButtons::Ok);
}

bool askYesNo(const QString &text)
{
    return dialogs().show(text, MsgButtons::YesNo) == MsgAnswer::Yes;
}

MsgAnswer QtDialogService::show(const QString &text, MsgButtons buttons)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QStringLiteral("Clipferry"));
    box.setIcon(QMessageBox::NoIcon);
    box.setTextFormat(Qt::PlainText);
    QString shown = text;
    box.setText(shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    if (buttons == MsgButtons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return MsgAnswer::Ok;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    const int result = box.exec();
    if (result == QMessageBox::Yes)
        return MsgAnswer::Yes;
    return result == QMessageBox::No ? MsgAnswer::No : MsgAnswer::Closed;
}
