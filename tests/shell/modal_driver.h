#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace qvt::test {

// Runs `step` on the next modal dialog that opens (other than `previous`),
// from inside that dialog's own event loop. A dialog still open two seconds
// after the step is a failure and is closed, so a broken key binding fails the
// test instead of hanging it.
inline void onNextModal(std::function<void(QWidget*)> step, QWidget* previous = nullptr)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, step, previous] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != previous) {
            timer->stop();
            timer->deleteLater();
            QPointer<QWidget> watched = modal;
            step(modal);
            QTimer::singleShot(2000, [watched] {
                if (watched && watched->isVisible()) {
                    ADD_FAILURE() << "dialog " << watched->objectName().toStdString() << " stayed open";
                    if (auto* dialog = qobject_cast<QDialog*>(watched.data()))
                        dialog->reject();
                }
            });
            return;
        }
        if (++*tries > 400) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal dialog opened";
        }
    });
    timer->start();
}

// Lets queued events run (a key press that closes a dialog, a deferred call).
inline void processEvents()
{
    QApplication::processEvents();
    QApplication::processEvents();
}

} // namespace qvt::test
