#pragma once

#include "UhrFensterUnit.h"

class TTimer;

// The computer's date and time, refreshed by a timer of its own.
class TSystemzeitFenster : public TUhrFenster {
public:
    TSystemzeitFenster(Bau B, TFensterOwner& AOwner, const QString& IniDatei);

    void Timer1Timer();

    TTimer* Timer1 = nullptr;
};
