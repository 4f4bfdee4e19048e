#include "LoggerZeitFensterUnit.h"

#include "AppErrors.h"
#include "SysUtils.h"
#include "TextFensterUnit.h"

TLoggerzeitFenster::TLoggerzeitFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& IniDatei)
    : TUhrFenster(B, AOwner, QStringLiteral("Loggerdatum:"), QStringLiteral("Loggerzeit:"), -1)
{
    this->IniDatei = IniDatei;
    SetName(FensterName(QString(), -1));
    LadeKonfiguration(IniDatei);
    LoaderClient = Loader ? std::make_unique<TStandardClient>(Loader) : std::make_unique<TStandardClient>();
    LoaderClient->OnNeueDaten = [this](TDatenLoader* Sender) { Guarded([&] { Aktualisiere(Sender); }); };
    Bereiche = std::make_unique<TRanges>();
}

void TLoggerzeitFenster::Aktualisiere(TDatenLoader* Loader)
{
    if (!Loader)
        return;
    const double t = Loader->NeuesteZeit();
    if (t == KeinWert)
        return;
    ZeitLabel->SetCaption(TimeToStr(t));
    DatumLabel->SetCaption(DateToStr(t));
}
