#pragma once

#include <QString>
#include <array>

// Cosine and sine of every tenth of a degree, 0.0 .. 360.0 (index 0 .. 3600).
// Filled before first use; read-only afterwards.
const std::array<double, 3601>& CosTabelle();
const std::array<double, 3601>& SinTabelle();

double MinDouble(double A, double B);
double MaxDouble(double A, double B);

// Every character outside '0'..'9' and 'A'..'z' becomes '_', per character.
void ErsetzeSonderzeichen(QString& S);

// The data file writes '.'; conversion follows the regional separator.
QString PunktZuKomma(const QString& S);
