#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

// The signals by which a session ends the program (a logout or a kill,
// Ctrl+C, a closed terminal) become a call from the event loop, where the
// program can close as its own close command does, so nothing is lost. A
// handler may do next to nothing, so it only wakes the loop. One at a time;
// the handlers that were there before come back when it goes.
class TSignalFang {
public:
    TSignalFang(QObject* Kontext, std::function<void()> Schliessen);
    ~TSignalFang();
    TSignalFang(const TSignalFang&) = delete;
    TSignalFang& operator=(const TSignalFang&) = delete;

    // False when the signals could not be caught (they then end the program
    // as they would without it).
    bool Aktiv() const { return m_melder != nullptr; }
    // A signal that came while no event loop ran is answered now, before
    // anything a loop would run first.
    void Pruefe() const;

private:
    void Lies() const;

    std::function<void()> m_schliessen;
    std::unique_ptr<QSocketNotifier> m_melder;
};
