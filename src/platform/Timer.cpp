#include "Timer.h"

#include <QtGlobal>

namespace {

void defaultExceptionHandler(const std::exception* e)
{
    qWarning("Ausnahme im Timer: %s", e ? e->what() : "unbekannte Ausnahme");
}

TTimer::ExceptionHandler& exceptionHandler()
{
    static TTimer::ExceptionHandler handler = defaultExceptionHandler;
    return handler;
}

} // namespace

TTimer::TTimer(QObject* parent) : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &TTimer::tick);
    update();
}

void TTimer::SetEnabled(bool value)
{
    if (value == m_enabled)
        return;
    m_enabled = value;
    update();
}

void TTimer::SetInterval(int ms)
{
    if (ms == m_interval)
        return;
    m_interval = ms;
    update();
}

void TTimer::SetExceptionHandler(ExceptionHandler handler)
{
    exceptionHandler() = handler ? std::move(handler) : ExceptionHandler(defaultExceptionHandler);
}

// Every change of state starts a fresh count, as with a window timer that is
// killed and set again.
void TTimer::update()
{
    m_timer.stop();
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
}

void TTimer::tick()
{
    // A copy, so a handler that replaces OnTimer or deletes this timer does
    // not destroy the function while it runs.
    auto handler = OnTimer;
    if (!handler)
        return;
    try {
        handler(this);
    } catch (const std::exception& e) {
        try {
            exceptionHandler()(&e);
        } catch (...) {
            qWarning("Ausnahme im Ausnahmebehandler des Timers");
        }
    } catch (...) {
        try {
            exceptionHandler()(nullptr);
        } catch (...) {
            qWarning("Ausnahme im Ausnahmebehandler des Timers");
        }
    }
}
