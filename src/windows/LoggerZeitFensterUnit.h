#pragma once

#include "UhrFensterUnit.h"

// Date and time of the newest record the loader holds.
class TLoggerzeitFenster : public TUhrFenster {
public:
    TLoggerzeitFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& IniDatei);

    void Aktualisiere(TDatenLoader* Loader);
};
