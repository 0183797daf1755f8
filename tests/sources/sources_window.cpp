#include "sources_window.h"

#include "browser/form9.h"
#include "common/error.h"

#include <QApplication>
#include <QTimer>

SourcesWindow::SourcesWindow(QStringList profiles, Encoder encoder)
{
    machine.writeFile(
            QStringLiteral("C:\\Program Files\\Windows Media Components\\Encoder\\WMEncEng.dll"));
    form = std::make_unique<Form1>(
            values, [this, profiles, encoder]() -> std::unique_ptr<MediaEncoder> {
                if (encoder == Encoder::FailsToStart)
                    throw Error(QStringLiteral("The encoder engine could not be loaded: test."));
                return scriptedEncoder(&backend, profiles);
            });
    dialogs.clear();
}

namespace {

Form9 *shownBrowser()
{
    if (auto *modal = qobject_cast<Form9 *>(QApplication::activeModalWidget()))
        return modal;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        auto *browser = qobject_cast<Form9 *>(window);
        if (browser && browser->isVisible())
            return browser;
    }
    return nullptr;
}

// Looks for the shown browser until it is up (it may still be loading when first asked).
void answerWhenShown(Form1 &form, std::function<void(Form9 &)> answer, int triesLeft, int delayMs)
{
    QTimer::singleShot(delayMs, &form, [&form, answer = std::move(answer), triesLeft] {
        if (Form9 *browser = shownBrowser())
            answer(*browser);
        else if (triesLeft > 0)
            answerWhenShown(form, answer, triesLeft - 1, 10);
    });
}

} // namespace

QString runWithBrowser(Form1 &form,
                       const std::function<void()> &command,
                       const std::function<void(Form9 &)> &answer)
{
    auto title = std::make_shared<QString>();
    answerWhenShown(
            form,
            [title, answer](Form9 &browser) {
                *title = browser.windowTitle();
                answer(browser);
            },
            100,
            0);
    command();
    // A browser closed through its title bar is deleted later; let that happen now, before
    // anything could show it again.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return *title;
}

void pressCancel(Form9 &browser)
{
    browser.cmd_Click(1);
}

void closeThroughTitleBar(Form9 &browser)
{
    browser.close();
}
