#pragma once

#include <QObject>
#include <QTimer>
#include <exception>
#include <functional>

// Message-driven timer: no tick while off; switching it on starts a fresh
// count; switching on a running timer changes nothing; changing the interval
// of a running timer restarts the count.
class TTimer : public QObject {
    Q_OBJECT
public:
    explicit TTimer(QObject* parent = nullptr);

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    int Interval() const { return m_interval; }
    void SetInterval(int ms);

    std::function<void(TTimer*)> OnTimer;

    // No exception may leave a tick into Qt's event loop; whatever OnTimer
    // throws goes here (nullptr for exceptions not derived from
    // std::exception). Empty restores the default, which logs a warning.
    using ExceptionHandler = std::function<void(const std::exception*)>;
    static void SetExceptionHandler(ExceptionHandler handler);

private:
    void update();
    void tick();
    QTimer m_timer;
    bool m_enabled = true;
    int m_interval = 1000;
};
