#pragma once

#include "Exceptions.h"
#include "FormatSettings.h"
#include "NumberFormat.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

// Day count from 30.12.1899, time of day as the fraction.
using TDateTime = double;

// --- Rounding -------------------------------------------------------------
// Halves go to the even neighbour (20.5 -> 20, 21.5 -> 22).
long long Round(double x);
// Cuts toward zero.
long long Trunc(double x);
// Both give 0 for NaN and saturate beyond the range of long long.

// --- Text to number / time / date -----------------------------------------
// Leading and trailing blanks allowed; optional sign, digits with the regional
// decimal separator, optional exponent. No hex, no group separators, no
// NaN/Inf; overflow fails. Error: "'%s' ist kein gültiger Gleitkommawert".
double StrToFloat(const QString& s);
bool TryStrToFloat(const QString& s, double& value);

// Decimal or "$"/"0x" hex, optional sign, 32-bit range.
// Error: "'%s' ist kein gültiger Integerwert".
int StrToInt(const QString& s);
bool TryStrToInt(const QString& s, int& value);
int StrToIntDef(const QString& s, int def);

// h[:n[:s[.zzz]]] with the regional time separator, optional AM/PM; a bare
// "5" is 05:00. Error: "'%s' ist keine gültige Uhrzeit".
TDateTime StrToTime(const QString& s);
bool TryStrToTime(const QString& s, TDateTime& value);

// Numbers split by the regional date separator in the order of the short
// date format; without a year the current year; two-digit years windowed.
// Error: "'%s' ist kein gültiges Datum".
TDateTime StrToDate(const QString& s);
bool TryStrToDate(const QString& s, TDateTime& value);


// --- Date and time --------------------------------------------------------
TDateTime EncodeDate(int year, int month, int day);   // raises EConvertError on bad dates
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& value);
// Both round to whole milliseconds first, so a time that rounds up to
// midnight moves the date on; values outside 1.1.0001..31.12.9999 give zeros.
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
bool IsLeapYear(int year);

// Tokens: d dd m mm yy yyyy h hh n nn s ss z zzz; "mm" right after an hour is
// minutes; ':' and '/' stand for the regional separators; '...' or "..." are
// literal; everything else is copied.
QString FormatDateTime(const QString& fmt, TDateTime dt);
QString DateToStr(TDateTime dt);
// Rounds to whole milliseconds first, then the long time format.
QString TimeToStr(TDateTime dt);
QString DateTimeToStr(TDateTime dt);

TDateTime DateTimeFromQDateTime(const QDateTime& dt);
QDateTime QDateTimeFromDateTime(TDateTime dt);

// Current local time; tests replace the clock.
TDateTime Now();
TDateTime Date();
using ClockFunction = std::function<TDateTime()>;
void SetClock(ClockFunction clock);   // empty restores the real clock

// Blocks the thread; tests replace it.
void Sleep(unsigned milliseconds);
using SleepFunction = std::function<void(unsigned)>;
void SetSleepFunction(SleepFunction fn);   // empty restores the real sleep
