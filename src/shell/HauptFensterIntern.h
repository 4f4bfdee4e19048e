#pragma once

// What the main window's two sources share: the section of the program
// settings, the clock items of the window menu and the column keys.

#include <QString>

inline const QString kGlobal = QStringLiteral("Global");
inline const QString kSystemUhr = QStringLiteral("System Datum/Uhrzeit");
inline const QString kLoggerUhr = QStringLiteral("Logger Datum/Uhrzeit");

// First five characters of a column name, as the "Global" keys use them.
inline QString SpaltenKey(const QString& spalte)
{
    return spalte.left(5);
}
