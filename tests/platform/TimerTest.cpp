#include "Exceptions.h"
#include "Timer.h"
#include "TestSupport.h"

#include <stdexcept>

namespace {

struct Counter {
    int ticks = 0;
    void attach(TTimer& timer)
    {
        timer.OnTimer = [this](TTimer*) { ++ticks; };
    }
};

} // namespace

TEST(TTimerTest, TicksOnlyWhileOnAndWithAnInterval)
{
    TTimer timer;
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000);
    Counter c;
    c.attach(timer);
    timer.SetInterval(40);
    pumpEvents(330);
    // Loose bounds: a busy machine delays and merges ticks.
    EXPECT_GE(c.ticks, 2);
    EXPECT_LE(c.ticks, 9);

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
    Counter c;
    {
        // Switching on a running timer keeps its count: the tick at 400 ms comes.
        TTimer timer;
        c.attach(timer);
        timer.SetInterval(400);
        pumpEvents(240);
        timer.SetEnabled(true);
        pumpEvents(280);
        EXPECT_EQ(c.ticks, 1);
    }
    c.ticks = 0;
    {
        // Off and on again starts a fresh count.
        TTimer timer;
        c.attach(timer);
        timer.SetInterval(400);
        pumpEvents(260);
        timer.SetEnabled(false);
        timer.SetEnabled(true);
        pumpEvents(260);
        EXPECT_EQ(c.ticks, 0);
        pumpEvents(240);
        EXPECT_EQ(c.ticks, 1);
    }
    c.ticks = 0;
    {
        // A new interval restarts the count, the same interval does not.
        TTimer timer;
        c.attach(timer);
        timer.SetInterval(400);
        pumpEvents(260);
        timer.SetInterval(420);
        pumpEvents(260);
        EXPECT_EQ(c.ticks, 0);
        timer.SetInterval(420);
        pumpEvents(260);
        EXPECT_EQ(c.ticks, 1);
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
    pumpEvents(250);
    TTimer::SetExceptionHandler({});
    EXPECT_EQ(ticks, 3) << "the timer runs on after an exception";
    EXPECT_EQ(seen, QStringList({QStringLiteral("'x' ist kein gültiger Gleitkommawert"), QStringLiteral("?")}));
    EXPECT_FALSE(timer.Enabled());
}
