#include "Exceptions.h"
#include "Timer.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QTimer>

#include <cstdlib>
#include <stdexcept>

namespace {

struct Counter {
    int ticks = 0;
    void attach(TTimer& timer)
    {
        timer.OnTimer = [this](TTimer*) { ++ticks; };
    }
};

// The timer's first tick from where its count should start, against a plain
// timer of the same interval started there: the two come together, and
// late together on a loaded machine; a count that started elsewhere is off
// by the difference. Ticks before that point are not counted.
class FirstTick {
public:
    explicit FirstTick(TTimer& timer)
    {
        m_clock.start();
        timer.OnTimer = [this](TTimer*) {
            if (m_tick < 0)
                m_tick = m_clock.elapsed();
        };
        m_reference.setSingleShot(true);
        QObject::connect(&m_reference, &QTimer::timeout, [this] { m_due = m_clock.elapsed(); });
    }
    void countFromHere(int interval)
    {
        m_tick = -1;
        m_reference.start(interval);
    }
    // Milliseconds from when the tick was due to when it came.
    qint64 offset()
    {
        EXPECT_TRUE(pumpUntil([this] { return m_tick >= 0 && m_due >= 0; })) << "no tick";
        return m_tick - m_due;
    }

private:
    QElapsedTimer m_clock;
    QTimer m_reference;
    qint64 m_tick = -1;
    qint64 m_due = -1;
};

} // namespace

TEST(TTimerTest, TicksOnlyWhileOnAndWithAnInterval)
{
    TTimer timer;
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000);
    Counter c;
    c.attach(timer);
    QElapsedTimer uhr;
    uhr.start();
    timer.SetInterval(40);
    ASSERT_TRUE(pumpUntil([&] { return c.ticks >= 3; }));
    // Never faster than its interval (a coarse timer may come 5 % early).
    EXPECT_GE(uhr.elapsed(), 3 * 38);

    timer.SetEnabled(false);
    c.ticks = 0;
    pumpEvents(150);
    EXPECT_EQ(c.ticks, 0);

    timer.SetInterval(0);
    timer.SetEnabled(true);
    EXPECT_TRUE(timer.Enabled());
    pumpEvents(150);
    EXPECT_EQ(c.ticks, 0) << "interval 0 never ticks";
}

TEST(TTimerTest, SwitchingAndIntervalChangesRestartTheCount)
{
    {
        // Switching on a running timer keeps its count.
        TTimer timer;
        FirstTick t(timer);
        timer.SetInterval(400);
        t.countFromHere(400);
        pumpEvents(240);
        timer.SetEnabled(true);
        EXPECT_LT(std::abs(t.offset()), 150);
    }
    {
        // Off and on again starts a fresh count.
        TTimer timer;
        FirstTick t(timer);
        timer.SetInterval(400);
        pumpEvents(260);
        timer.SetEnabled(false);
        timer.SetEnabled(true);
        t.countFromHere(400);
        EXPECT_LT(std::abs(t.offset()), 150);
    }
    {
        // A new interval restarts the count, the same interval does not.
        TTimer timer;
        FirstTick t(timer);
        timer.SetInterval(400);
        pumpEvents(260);
        timer.SetInterval(420);
        t.countFromHere(420);
        pumpEvents(260);
        timer.SetInterval(420);
        EXPECT_LT(std::abs(t.offset()), 150);
    }
}

TEST(TTimerTest, ExceptionsFromOnTimerGoToTheHandler)
{
    QStringList seen;
    TTimer::SetExceptionHandler(
        [&](const std::exception* e) { seen << (e ? QString::fromUtf8(e->what()) : QStringLiteral("?")); });
    TTimer timer;
    timer.SetInterval(30);
    int ticks = 0;
    timer.OnTimer = [&](TTimer* t) {
        ++ticks;
        if (ticks == 1)
            throw EConvertError(QStringLiteral("'x' ist kein gültiger Gleitkommawert"));
        if (ticks == 2)
            throw 42;
        t->SetEnabled(false);
    };
    EXPECT_TRUE(pumpUntil([&] { return !timer.Enabled(); })) << ticks << " ticks";
    pumpEvents(100);
    TTimer::SetExceptionHandler({});
    EXPECT_EQ(ticks, 3) << "the timer runs on after an exception";
    EXPECT_EQ(seen, QStringList({QStringLiteral("'x' ist kein gültiger Gleitkommawert"), QStringLiteral("?")}));
    EXPECT_FALSE(timer.Enabled());
}
