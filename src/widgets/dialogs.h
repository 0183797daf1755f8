#pragma once

#include <QString>

// Every message box of the program goes through one dialog service: title "Clipferry",
// an OK button or Yes and No buttons, no icon. CR LF in a text is a line break on screen.
// Tests install a scripted service that records each box and answers from a script.
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No, Closed };

class DialogService
{
public:
    virtual ~DialogService() = default;
    virtual MsgAnswer show(const QString &text, MsgButtons buttons) = 0;
};

DialogService &dialogs();
// Installs another service (nullptr: the Qt message boxes again). The caller keeps ownership.
void setDialogs(DialogService *service);

// An OK-only box.
void msgBox(const QString &text);
// A Yes/No question; only Yes counts as yes.
bool askYesNo(const QString &text);

// The service of the running program: modal Qt message boxes.
class QtDialogService : public DialogService
{
public:
    MsgAnswer show(const QString &text, MsgButtons buttons) override;
};
