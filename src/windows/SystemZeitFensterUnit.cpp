#include "SystemZeitFensterUnit.h"

#include "AppErrors.h"
#include "SysUtils.h"
#include "Timer.h"

TSystemzeitFenster::TSystemzeitFenster(Bau B, TFensterOwner& AOwner, const QString& IniDatei)
    : TUhrFenster(B, AOwner, QStringLiteral("Systemdatum:"), QStringLiteral("Systemzeit:"), -2)
{
    // Parented to the window, so it stops with it.
    Timer1 = new TTimer(this);
    Timer1->SetInterval(500);
    Timer1->OnTimer = [this](TTimer*) { Guarded([&] { Timer1Timer(); }); };

    this->IniDatei = IniDatei;
    SetName(FensterName(QString(), -2));
    LadeKonfiguration(IniDatei);
    Bereiche = std::make_unique<TRanges>();
}

void TSystemzeitFenster::Timer1Timer()
{
    DatumLabel->SetCaption(DateToStr(Now()));
    ZeitLabel->SetCaption(TimeToStr(Now()));
}
