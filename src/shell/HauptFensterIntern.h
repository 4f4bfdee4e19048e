#pragma once

// What the main window's two sources share: the section of the program
// settings, the clock items of the window menu, the column keys and the
// text of an error.

#include "Exceptions.h"

#include <QString>
#include <exception>

inline const QString kGlobal = QStringLiteral("Global");
inline const QString kSystemUhr = QStringLiteral("System Datum/Uhrzeit");
inline const QString kLoggerUhr = QStringLiteral("Logger Datum/Uhrzeit");

// First five characters of a column name, as the "Global" keys use them.
inline QString SpaltenKey(const QString& spalte)
{
    return spalte.left(5);
}

// The message of an error as the default handler shows it.
inline QString FehlerText(const std::exception& e)
{
    if (const auto* eigener = dynamic_cast<const Exception*>(&e))
        return eigener->Message();
    return QString::fromLocal8Bit(e.what());
}
