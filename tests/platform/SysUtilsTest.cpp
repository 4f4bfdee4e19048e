#include "FastConversions.h"
#include "SysUtils.h"
#include "TestSupport.h"

#include <cmath>
#include <limits>

namespace {

using SysUtils = GermanSettings;

QString convertMessage(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return QStringLiteral("<keine Ausnahme>");
}

TDateTime at(int y, int m, int d, int h = 0, int n = 0, int s = 0, int ms = 0)
{
    return EncodeDate(y, m, d) + EncodeTime(h, n, s, ms);
}

} // namespace

TEST_F(SysUtils, RoundsHalvesToEvenAndTruncatesTowardZero)
{
    EXPECT_EQ(Round(20.5), 20);
    EXPECT_EQ(Round(21.5), 22);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(2.5000001), 3);
    EXPECT_EQ(Trunc(-2.9), -2);
    EXPECT_EQ(Trunc(2.9), 2);
    EXPECT_EQ(Round(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(Trunc(1e300), std::numeric_limits<long long>::max());
}

TEST_F(SysUtils, StrToFloatFollowsTheDecimalSeparator)
{
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("1,5")), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral(" 1,5 ")), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral(",5")), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("-3")), -3);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("+2,5e3")), 2500);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("1E-2")), 0.01);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("-9999")), -9999);

    double v = 42;
    for (const char* bad : {"1.5", "", " ", ",", "-", "1e", "1e+", "0x10", "$10", "NaN", "INF", "1e400",
                            "-1e400", "1 000", "1,5,0", "1,5x", "--1", "e5"}) {
        EXPECT_FALSE(TryStrToFloat(QString::fromUtf8(bad), v)) << bad;
    }
    EXPECT_EQ(v, 42) << "a failed conversion leaves the value alone";
    EXPECT_EQ(convertMessage([] { StrToFloat(QStringLiteral("1.5")); }),
              QStringLiteral("'1.5' ist kein gültiger Gleitkommawert"));

    formatSettings().DecimalSeparator = u'.';
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("1.5")), 1.5);
    EXPECT_FALSE(TryStrToFloat(QStringLiteral("1,5"), v));
}

TEST_F(SysUtils, StrToIntTakesDecimalAndHexInTheInt32Range)
{
    EXPECT_EQ(StrToInt(QStringLiteral("2000")), 2000);
    EXPECT_EQ(StrToInt(QStringLiteral("-2147483648")), std::numeric_limits<int>::min());
    EXPECT_EQ(StrToInt(QStringLiteral("2147483647")), std::numeric_limits<int>::max());
    EXPECT_EQ(StrToInt(QStringLiteral("$1F")), 31);
    EXPECT_EQ(StrToInt(QStringLiteral("0x10")), 16);
    EXPECT_EQ(StrToInt(QStringLiteral("$FFFFFFFF")), -1);
    EXPECT_EQ(StrToInt(QStringLiteral("-$10")), -16);
    int v = 0;
    for (const char* bad : {"2147483648", "-2147483649", "1,0", "", "$", "0x", "12a", "$100000000", "1e3"})
        EXPECT_FALSE(TryStrToInt(QString::fromUtf8(bad), v)) << bad;
    EXPECT_EQ(StrToIntDef(QStringLiteral("x"), 7), 7);
    EXPECT_EQ(convertMessage([] { StrToInt(QStringLiteral("abc")); }),
              QStringLiteral("'abc' ist kein gültiger Integerwert"));
}

TEST_F(SysUtils, StrToTimeReadsHoursMinutesSecondsAndAmPm)
{
    EXPECT_DOUBLE_EQ(StrToTime(QStringLiteral("5")), EncodeTime(5, 0, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime(QStringLiteral("12:30")), EncodeTime(12, 30, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime(QStringLiteral(" 23:59:59 ")), EncodeTime(23, 59, 59, 0));
    EXPECT_DOUBLE_EQ(StrToTime(QStringLiteral("1:02:03,250")), EncodeTime(1, 2, 3, 250));
    EXPECT_DOUBLE_EQ(StrToTime(QStringLiteral("12:00 am")), 0);
    EXPECT_DOUBLE_EQ(StrToTime(QStringLiteral("PM 1:15")), EncodeTime(13, 15, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime(QStringLiteral("12 PM")), EncodeTime(12, 0, 0, 0));

    TDateTime v = 0;
    for (const char* bad : {"25:00", "24:00", "12:60", "12:30:60", "12:", "12:30:", "12:30:00,", "0 AM", "13 PM",
                            "", "12.30", "12:30 x", "AM 1 PM", "10000", "-1", "07.12.2026"}) {
        EXPECT_FALSE(TryStrToTime(QString::fromUtf8(bad), v)) << bad;
    }
    EXPECT_EQ(convertMessage([] { StrToTime(QStringLiteral("25:00")); }),
              QStringLiteral("'25:00' ist keine gültige Uhrzeit"));
}

TEST_F(SysUtils, StrToDateUsesFormatOrderCurrentYearAndWindow)
{
    SetClock([] { return at(2026, 12, 7, 22, 31, 5); });
    EXPECT_DOUBLE_EQ(StrToDate(QStringLiteral("07.12.2026")), EncodeDate(2026, 12, 7));
    EXPECT_DOUBLE_EQ(StrToDate(QStringLiteral(" 7.12.2026 ")), EncodeDate(2026, 12, 7));
    EXPECT_DOUBLE_EQ(StrToDate(QStringLiteral("5.3")), EncodeDate(2026, 3, 5));
    // Two-digit years fall into 1976..2075.
    EXPECT_DOUBLE_EQ(StrToDate(QStringLiteral("1.1.30")), EncodeDate(2030, 1, 1));
    EXPECT_DOUBLE_EQ(StrToDate(QStringLiteral("1.1.80")), EncodeDate(1980, 1, 1));
    EXPECT_DOUBLE_EQ(StrToDate(QStringLiteral("1.1.0030")), EncodeDate(30, 1, 1));
    EXPECT_DOUBLE_EQ(StrToDate(QStringLiteral("29.2.2024")), EncodeDate(2024, 2, 29));

    TDateTime v = 0;
    for (const char* bad : {"5", "29.2.2025", "32.1.2026", "1.13.2026", "1.1.2026.", "1.1.2026 12:00", "1,5",
                            "", "1..2026", "1.1.20260", "0.1.2026"}) {
        EXPECT_FALSE(TryStrToDate(QString::fromUtf8(bad), v)) << bad;
    }
    EXPECT_EQ(convertMessage([] { StrToDate(QStringLiteral("5")); }),
              QStringLiteral("'5' ist kein gültiges Datum"));

    formatSettings().ShortDateFormat = QStringLiteral("yyyy/mm/dd");
    formatSettings().DateSeparator = u'-';
    EXPECT_DOUBLE_EQ(StrToDate(QStringLiteral("2026-12-07")), EncodeDate(2026, 12, 7));
    EXPECT_DOUBLE_EQ(StrToDate(QStringLiteral("3-5")), EncodeDate(2026, 3, 5));
}

TEST_F(SysUtils, FloatToStrGivesFifteenDigitsInGeneralForm)
{
    EXPECT_EQ(FloatToStr(0), QStringLiteral("0"));
    EXPECT_EQ(FloatToStr(-9999), QStringLiteral("-9999"));
    EXPECT_EQ(FloatToStr(1.5), QStringLiteral("1,5"));
    EXPECT_EQ(FloatToStr(0.1 + 0.2), QStringLiteral("0,3"));
    EXPECT_EQ(FloatToStr(1.0 / 3), QStringLiteral("0,333333333333333"));
    EXPECT_EQ(FloatToStr(2.0 / 3), QStringLiteral("0,666666666666667"));
    EXPECT_EQ(FloatToStr(0.0001), QStringLiteral("0,0001"));
    EXPECT_EQ(FloatToStr(0.00001), QStringLiteral("1E-5"));
    EXPECT_EQ(FloatToStr(-1.25e-7), QStringLiteral("-1,25E-7"));
    EXPECT_EQ(FloatToStr(999999999999999.0), QStringLiteral("999999999999999"));
    EXPECT_EQ(FloatToStr(1e15), QStringLiteral("1E15"));
    EXPECT_EQ(FloatToStr(1.5e20), QStringLiteral("1,5E20"));
    EXPECT_EQ(FloatToStr(9999999999999999.0), QStringLiteral("1E16"));
    EXPECT_EQ(FloatToStr(std::nan("")), QStringLiteral("NAN"));
    EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity()), QStringLiteral("-INF"));
    // What FloatToStr writes, StrToFloat reads back.
    for (double x : {3.14159265358979, -0.000123, 1.5e20, 45000.75, 1e-5})
        EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(x)), x) << x;
}

TEST_F(SysUtils, FormatRoundsDecimalHalvesAwayFromZero)
{
    EXPECT_EQ(Format(QStringLiteral("%.1f"), {0.25}), QStringLiteral("0,3"));
    EXPECT_EQ(Format(QStringLiteral("%.1f"), {-0.25}), QStringLiteral("-0,3"));
    EXPECT_EQ(Format(QStringLiteral("%.0f"), {2.5}), QStringLiteral("3"));
    EXPECT_EQ(Format(QStringLiteral("%.2f"), {1.005}), QStringLiteral("1,00"));   // 1.00499999999999989...
    EXPECT_EQ(Format(QStringLiteral("%.1f"), {9.96}), QStringLiteral("10,0"));
    EXPECT_EQ(Format(QStringLiteral("%f"), {3}), QStringLiteral("3,00"));
    EXPECT_EQ(Format(QStringLiteral("%.3f"), {0.0004}), QStringLiteral("0,000"));
    EXPECT_EQ(Format(QStringLiteral("%.1f"), {-0.04}), QStringLiteral("0,0"));
    EXPECT_EQ(Format(QStringLiteral("%.2f"), {123456789.125}), QStringLiteral("123456789,13"));
    EXPECT_EQ(Format(QStringLiteral("%.4f;%.4f;%d"), {10.5, 20.0, -2147483633}),
              QStringLiteral("10,5000;20,0000;-2147483633"));
    EXPECT_EQ(Format(QStringLiteral("%.2e"), {1250.0}), QStringLiteral("1,3E+003"));
    EXPECT_EQ(Format(QStringLiteral("%e"), {-0.5}), QStringLiteral("-5,00000000000000E-001"));
    EXPECT_EQ(Format(QStringLiteral("%g"), {0.5}), QStringLiteral("0,5"));
    EXPECT_EQ(Format(QStringLiteral("%f"), {std::nan("")}), QStringLiteral("NAN"));

    EXPECT_EQ(Format(QStringLiteral("%.3d"), {42}), QStringLiteral("042"));
    EXPECT_EQ(Format(QStringLiteral("%.3d"), {-5}), QStringLiteral("-005"));
    EXPECT_EQ(Format(QStringLiteral("[%5d|%-5d]"), {42, 42}), QStringLiteral("[   42|42   ]"));
    EXPECT_EQ(Format(QStringLiteral("%x %X %.4x"), {255, 255, 10}), QStringLiteral("FF FF 000A"));
    EXPECT_EQ(Format(QStringLiteral("%u"), {-1}), QStringLiteral("4294967295"));
    EXPECT_EQ(Format(QStringLiteral("%s existiert nicht (100%%)"), {"a.txt"}),
              QStringLiteral("a.txt existiert nicht (100%)"));
    EXPECT_EQ(Format(QStringLiteral("Min\r(%s)"), {QStringLiteral("°C")}), QStringLiteral("Min\r(°C)"));
    EXPECT_EQ(Format(QStringLiteral("%.2s|%-4s|"), {"abc", "x"}), QStringLiteral("ab|x   |"));

    const QString msg = QStringLiteral("Format '%1' ungültig oder nicht kompatibel mit Argument");
    EXPECT_EQ(convertMessage([] { Format(QStringLiteral("%s"), {1.5}); }), msg.arg(QStringLiteral("%s")));
    EXPECT_EQ(convertMessage([] { Format(QStringLiteral("%d"), {"1"}); }), msg.arg(QStringLiteral("%d")));
    EXPECT_EQ(convertMessage([] { Format(QStringLiteral("%d"), {1.0}); }), msg.arg(QStringLiteral("%d")));
    EXPECT_EQ(convertMessage([] { Format(QStringLiteral("%d %d"), {1}); }), msg.arg(QStringLiteral("%d %d")));
    EXPECT_EQ(convertMessage([] { Format(QStringLiteral("%q"), {1}); }), msg.arg(QStringLiteral("%q")));
    EXPECT_EQ(convertMessage([] { Format(QStringLiteral("100%"), {1}); }), msg.arg(QStringLiteral("100%")));
}

TEST_F(SysUtils, EncodesAndDecodesDayCounts)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1);
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2024));

    int y, m, d, h, n, s, ms;
    // Walk whole years of days, leap days included, both ways.
    for (int day = -800; day < 50000; day += 7) {
        DecodeDate(day < 0 ? day - 0.75 : day + 0.75, y, m, d);
        ASSERT_EQ(EncodeDate(y, m, d), day) << day;
    }
    DecodeDate(EncodeDate(9999, 12, 31), y, m, d);
    EXPECT_EQ(QDate(y, m, d), QDate(9999, 12, 31));
    DecodeDate(EncodeDate(1, 1, 1), y, m, d);
    EXPECT_EQ(QDate(y, m, d), QDate(1, 1, 1));

    // Before 30.12.1899 the fraction still is the time of day.
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(QDate(y, m, d), QDate(1899, 12, 29));
    EXPECT_EQ(QTime(h, n, s, ms), QTime(6, 0));

    // Rounding to the millisecond carries into the date.
    const TDateTime late = EncodeDate(2026, 12, 31) + 0.9999999999;
    DecodeDate(late, y, m, d);
    DecodeTime(late, h, n, s, ms);
    EXPECT_EQ(QDateTime(QDate(y, m, d), QTime(h, n, s, ms)), QDateTime(QDate(2027, 1, 1), QTime(0, 0)));

    EXPECT_EQ(convertMessage([] { EncodeDate(2025, 2, 29); }),
              QStringLiteral("Ungültiges Argument zum Codieren des Datums"));
    EXPECT_EQ(convertMessage([] { EncodeTime(24, 0, 0, 0); }),
              QStringLiteral("Ungültiges Argument zum Codieren der Uhrzeit"));
    TDateTime v = 0;
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, v));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, v));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, v));

    DecodeDate(std::nan(""), y, m, d);
    EXPECT_EQ(y, 0);
    EXPECT_FALSE(QDateTimeFromDateTime(1e12).isValid());
}

TEST_F(SysUtils, FormatsDatesAndTimes)
{
    const TDateTime t = at(2026, 12, 7, 22, 31, 5, 42);
    EXPECT_EQ(FormatDateTime(QStringLiteral("dd.mm.yyyy hh:mm:ss."), t), QStringLiteral("07.12.2026 22:31:05."));
    EXPECT_EQ(FormatDateTime(QStringLiteral("d/m/yy h:n:s z zzz"), t), QStringLiteral("7.12.26 22:31:5 42 042"));
    EXPECT_EQ(FormatDateTime(QStringLiteral("HH' Uhr 'MM"), t), QStringLiteral("22 Uhr 31"));
    EXPECT_EQ(FormatDateTime(QStringLiteral("\"mm\" mm"), t), QStringLiteral("mm 12"));
    EXPECT_EQ(FormatDateTime(QStringLiteral("yyyy"), EncodeDate(33, 1, 1)), QStringLiteral("0033"));

    // 23:59:59.9996 rounds to the next day's midnight.
    const TDateTime almost = EncodeDate(2026, 12, 31) + (86399999.6 / 86400000.0);
    EXPECT_EQ(FormatDateTime(QStringLiteral("dd.mm.yyyy hh:nn:ss.zzz"), almost),
              QStringLiteral("01.01.2027 00:00:00.000"));
    EXPECT_EQ(TimeToStr(EncodeTime(5, 0, 0, 0)), QStringLiteral("05:00:00"));
    EXPECT_EQ(DateToStr(t), QStringLiteral("07.12.2026"));
    EXPECT_EQ(DateTimeToStr(t), QStringLiteral("07.12.2026 22:31:05"));
    EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 12, 7)), QStringLiteral("07.12.2026"));

    formatSettings().TimeSeparator = u'.';
    formatSettings().DateSeparator = u'/';
    EXPECT_EQ(FormatDateTime(QStringLiteral("dd/mm hh:nn"), t), QStringLiteral("07/12 22.31"));
    // TimeToStr and StrToTime round-trip under other separators.
    EXPECT_DOUBLE_EQ(StrToTime(TimeToStr(EncodeTime(8, 9, 10, 0))), EncodeTime(8, 9, 10, 0));
}

// The fast paths give what the general conversions give, or leave the text
// or value to them.
TEST_F(SysUtils, FastConversionsDecideOnlyThePlainForms)
{
    double d = 0;
    EXPECT_TRUE(FastPunktStrToFloat("12.5", d));
    EXPECT_EQ(d, 12.5);
    EXPECT_TRUE(FastPunktStrToFloat("-3,25", d));
    EXPECT_EQ(d, -3.25);
    EXPECT_TRUE(FastPunktStrToFloat("1.5e3", d));
    EXPECT_EQ(d, 1500);
    for (const char* nicht : {"", "1.2.3", "1e", " 1", "1 ", "0x10", "1,5x"})
        EXPECT_FALSE(FastPunktStrToFloat(nicht, d)) << nicht;
    formatSettings().DecimalSeparator = u'.';
    EXPECT_FALSE(FastPunktStrToFloat("12.5", d)) << "under another separator the general path decides";
    formatSettings().DecimalSeparator = u',';

    TDateTime t = 0;
    EXPECT_TRUE(FastStrToTime("10:05:07", t));
    EXPECT_DOUBLE_EQ(t, EncodeTime(10, 5, 7, 0));
    for (const char* nicht : {"10:05:07x", "10:05:07,5", "10:05", "25:00:00", "10.05.07"})
        EXPECT_FALSE(FastStrToTime(nicht, t)) << nicht;
    EXPECT_TRUE(FastStrToDate("21.06.2026", t));
    EXPECT_DOUBLE_EQ(t, EncodeDate(2026, 6, 21));
    // A two-digit year depends on today: for the general path.
    EXPECT_FALSE(FastStrToDate("21.06.26", t));
    EXPECT_FALSE(FastStrToDate("21.06.6", t));
    EXPECT_FALSE(FastStrToDate("31.02.2026", t));

    struct Text {
        double wert;
        const char* text;
    };
    for (const Text& f : {Text{0, "0"}, Text{12.5, "12,5"}, Text{12, "12"}, Text{-3.25, "-3,25"}, Text{0.05, "0,05"},
                          Text{1013.25, "1013,25"}, Text{0.0001, "0,0001"}, Text{123456.789, "123456,789"}}) {
        std::string s;
        ASSERT_TRUE(FastFloatToStr(f.wert, s)) << f.wert;
        EXPECT_EQ(s, f.text);
    }
    // 1E-5 and 1E15 take the exponent form, which is left to FloatToStr.
    for (double x : {0.00001, 1e15, -1.25e-7}) {
        std::string s;
        if (FastFloatToStr(x, s)) {
            EXPECT_EQ(QString::fromStdString(s), FloatToStr(x)) << x;
        }
    }
    std::string zeit, datum;
    ASSERT_TRUE(FastTimeToStr(EncodeTime(9, 5, 7, 0), zeit));
    EXPECT_EQ(zeit, "09:05:07");
    ASSERT_TRUE(FastDateToStr(EncodeDate(2026, 6, 1), datum));
    EXPECT_EQ(datum, "01.06.2026");
}

TEST_F(SysUtils, ClockAndSleepCanBeReplaced)
{
    const TDateTime before = DateTimeFromQDateTime(QDateTime::currentDateTime());
    const TDateTime now = Now();
    EXPECT_NEAR(now, before, 5.0 / 86400);
    EXPECT_NE(now, std::floor(now)) << "the real clock has a time of day";

    SetClock([] { return at(2026, 12, 7, 22, 31, 5, 42); });
    EXPECT_EQ(Now(), at(2026, 12, 7, 22, 31, 5, 42));
    EXPECT_EQ(Date(), EncodeDate(2026, 12, 7));
    SetClock({});
    EXPECT_NEAR(Now(), before, 5.0 / 86400);

    const QDateTime q(QDate(2026, 12, 7), QTime(22, 31, 5, 42));
    EXPECT_EQ(DateTimeFromQDateTime(q), at(2026, 12, 7, 22, 31, 5, 42));
    EXPECT_EQ(QDateTimeFromDateTime(at(2026, 12, 7, 22, 31, 5, 42)), q);
    const QDateTime old(QDate(1899, 12, 29), QTime(6, 0));
    EXPECT_DOUBLE_EQ(DateTimeFromQDateTime(old), -1.25);
    EXPECT_EQ(QDateTimeFromDateTime(-1.25), old);

    unsigned slept = 0;
    SetSleepFunction([&](unsigned ms) { slept += ms; });
    Sleep(250);
    EXPECT_EQ(slept, 250u);
}
