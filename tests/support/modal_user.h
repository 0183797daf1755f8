#pragma once

#include "browser/form9.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <utility>

// Plays the user at the program's modal windows: answers each message box with the next
// scripted button (OK, or No for a question, once the script has run out) and keeps its
// text; acts once in the folder browser when it is on the screen (`browse` is then empty).
struct ModalUser
{
    ModalUser()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { lookAtModalWindow(); });
        timer.start(50);
    }
    void lookAtModalWindow()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal); box && box->isVisible()) {
            texts.append(box->text());
            QAbstractButton *button
                    = box->button(answers.isEmpty() ? QMessageBox::Ok : answers.takeFirst());
            QTest::mouseClick(button ? button : box->button(QMessageBox::No), Qt::LeftButton);
        } else if (auto *browser = qobject_cast<Form9 *>(modal); browser && browse) {
            auto act = std::exchange(browse, nullptr);
            if (QTest::qWaitForWindowExposed(browser)) {
                act(*browser);
            } else { // never on the screen: the act stays undone, which the test sees
                browse = std::move(act);
                browser->hide();
            }
        }
    }

    QStringList texts;
    QList<QMessageBox::StandardButton> answers;
    std::function<void(Form9 &)> browse;
    QTimer timer;
};
