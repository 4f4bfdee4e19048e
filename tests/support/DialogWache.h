#pragma once

// Modal dialogs in tests: a dialog that does not close must fail the test,
// not hang it.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <functional>

// Long enough for any dialog that closes at all on a loaded machine.
constexpr int kDialogFrist = 10000;

// Fails the test and closes the modal dialogs, topmost first, when `dialog`
// is still open `ms` after this call.
inline void BewacheDialog(QWidget* dialog, int ms = kDialogFrist)
{
    auto* uhr = new QTimer(dialog);
    uhr->setSingleShot(true);
    const QPointer<QWidget> d(dialog);
    if (auto* q = qobject_cast<QDialog*>(dialog))
        QObject::connect(q, &QDialog::finished, uhr, &QObject::deleteLater);
    QObject::connect(uhr, &QTimer::timeout, uhr, [uhr, d] {
        if (!d || !d->isVisible()) {
            uhr->deleteLater();
            return;
        }
        if (!uhr->property("gemeldet").toBool())
            ADD_FAILURE() << "the modal dialog \"" << d->windowTitle().toStdString() << "\" is still open";
        uhr->setProperty("gemeldet", true);
        QWidget* oben = QApplication::activeModalWidget();
        if (!oben)
            oben = d;
        if (auto* q = qobject_cast<QDialog*>(oben))
            q->reject();
        else
            oben->close();
        // The nested loop of the one closed ends first; then the next.
        uhr->start(10);
    });
    uhr->start(ms);
}

// Runs `aktion` on the modal dialog once it is up, and watches it: a dialog
// of another kind is closed at once, and one still open after the action's
// time is closed too; either fails the test.
template<class D>
void ImDialog(std::function<void(D&)> aktion, int ms = kDialogFrist)
{
    QTimer::singleShot(0, [aktion, ms] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            ADD_FAILURE() << "no modal dialog is open";
            return;
        }
        BewacheDialog(w, ms);
        auto* d = dynamic_cast<D*>(w);
        if (!d) {
            ADD_FAILURE() << "the modal dialog is of another kind";
            BewacheDialog(w, 0);
            return;
        }
        aktion(*d);
    });
}
