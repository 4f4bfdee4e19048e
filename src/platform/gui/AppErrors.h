#pragma once

#include "Exceptions.h"

#include <QApplication>
#include <QString>
#include <exception>

// The application's default handler: the message in a box with a stop icon,
// under the application title; then the program runs on.
void ShowException(const std::exception& e);
void ShowExceptionMessage(const QString& message);

// Runs f; whatever it throws goes to the default handler. Event handlers run
// their work through this so that no exception crosses Qt's event loop.
template<class F>
void Guarded(F&& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowExceptionMessage(QStringLiteral("Unbekannter Fehler"));
    }
}

// Backstop for handlers that are not guarded: an exception that reaches
// notify() is shown by the default handler and the event counts as handled.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    QString Title() const;
    void SetTitle(const QString& title);
};
