#include "profile_editor/editor_prompts.h"

#include <QMessageBox>

namespace {

const QString Title = QStringLiteral("Profile Editor");

} // namespace

void QtEditorPrompts::error(QWidget *parent, const QString &text)
{
    QMessageBox::warning(parent, Title, text);
}

bool QtEditorPrompts::confirm(QWidget *parent, const QString &text)
{
    return QMessageBox::question(
                   parent, Title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}
