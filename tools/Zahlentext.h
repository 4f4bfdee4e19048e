#pragma once

#include <QString>
#include <cmath>

// A value as the logger writes it: '.' as decimal point, fixed places.
inline QString zahl(double v, int stellen)
{
    const double f = std::pow(10.0, stellen);
    double r = std::nearbyint(v * f) / f;
    if (r == 0)
        r = 0;   // no "-0.0"
    return QString::number(r, 'f', stellen);
}
