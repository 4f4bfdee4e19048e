#pragma once

#include <QChar>
#include <QString>

// Regional settings the conversions and formatters read. German by default;
// tests set it explicitly.
struct FormatSettings {
    QChar DecimalSeparator = u',';
    QChar DateSeparator = u'.';
    QChar TimeSeparator = u':';
    QString ShortDateFormat = QStringLiteral("dd.mm.yyyy");
    QString LongTimeFormat = QStringLiteral("hh:nn:ss");
    QString TimeAMString = QStringLiteral("AM");
    QString TimePMString = QStringLiteral("PM");
    // Two-digit years fall into the 100 years ending this many years ahead
    // of the current one.
    int TwoDigitYearCenturyWindow = 50;

    static FormatSettings German() { return FormatSettings{}; }
};

// The process-wide settings every conversion uses.
FormatSettings& formatSettings();
