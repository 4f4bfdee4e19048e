#include "TextFensterUnit.h"

#include "AppErrors.h"
#include "IniFiles.h"
#include "SysUtils.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

TStandardfenster::TStandardfenster(TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                                   const QString& Einheit, const QString& Spalte, const QString& IniDatei,
                                   int Nachkommastellen)
    : TGrundFenster(AOwner)
{
    BaueForm();
    LoaderClient = Loader ? std::make_unique<TStandardClient>(Loader) : std::make_unique<TStandardClient>();
    LoaderClient->OnNeueDaten = [this](TDatenLoader* Sender) { Guarded([&] { Aktualisiere(Sender); }); };
    this->Spalte = Spalte;
    SetEinheit(Einheit);
    SetBeschriftung(Beschriftung);
    SetName(FensterName(Spalte, 1));
    SetNachkommastellen(Nachkommastellen);
    this->IniDatei = IniDatei;
    LadeKonfiguration(IniDatei);
    FertigErzeugt();
}

void TStandardfenster::BaueForm()
{
    resize(154, 123);
    auto wertLabel = [this](int left, int top, int width, int height, int fontHeight, TColor farbe,
                            Qt::Alignment senkrecht) {
        auto* l = new TFensterLabel(this, left, top, width, height, QStringLiteral("-"));
        l->setAlignment(Qt::AlignRight | senkrecht);
        l->SetBold(true);
        l->SetFontHeight(fontHeight);
        l->SetFontColor(farbe);
        l->SetColor(clBlack);
        return l;
    };
    auto einheitLabel = [this](int left, int width) {
        auto* l = new TFensterLabel(this, left, 69, width, 25, QStringLiteral("######"));
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        l->setWordWrap(true);
        return l;
    };

    Bevel6 = new TBevel(this, 4, 64, 145, 57);
    MittelEinheitLabel = einheitLabel(8, 137);
    AktuellerWertLabel = wertLabel(8, 24, 89, 33, -31, 254, Qt::AlignVCenter);
    BeschriftungLabel = new TFensterLabel(this, 8, 8, 161, 13, QStringLiteral("####################"));
    BeschriftungLabel->SetBold(true);
    MinEinheitLabel = einheitLabel(8, 41);
    MaxEinheitLabel = einheitLabel(104, 41);
    Bevel2 = new TBevel(this, 8, 24, 89, 33);
    MinLabel = wertLabel(8, 96, 41, 16, -13, clRed, Qt::AlignTop);
    MaxLabel = wertLabel(104, 96, 41, 16, -13, clRed, Qt::AlignTop);
    MittelLabel = wertLabel(56, 96, 41, 16, -13, clRed, Qt::AlignTop);
    EinheitLabel = new TFensterLabel(this, 100, 23, 51, 34, QStringLiteral("##"));
    EinheitLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    EinheitLabel->SetFontName(QStringLiteral("Arial"));
    EinheitLabel->SetFontHeight(-21);
    EinheitLabel->SetFontColor(clBlack);
    Bevel3 = new TBevel(this, 8, 96, 41, 17);
    Bevel4 = new TBevel(this, 56, 96, 41, 17);
    Bevel5 = new TBevel(this, 104, 96, 41, 17);

    ErzeugeMenu();
    Optionen1 = NeuerMenuPunkt(QStringLiteral("Optionen1"), QStringLiteral("Optionen..."), [this] { Optionen1Click(); });
    N24hVerlauf1 = NeuerMenuPunkt(QStringLiteral("N24hVerlauf1"), QStringLiteral("24h - Verlauf..."),
                                  [this] { N24hVerlauf1Click(); });
    N1 = NeuerMenuPunkt(QStringLiteral("N1"), QStringLiteral("-"), {});
    Deaktivieren1 = NeuerMenuPunkt(QStringLiteral("Deaktivieren1"), QStringLiteral("Deaktivieren"),
                                   [this] { Deaktivieren1Click(); });
    PopupMenu1->setDefaultAction(Deaktivieren1);
    QObject::connect(PopupMenu1, &QMenu::aboutToShow, this, [this] { Guarded([&] { PopupMenu1Popup(); }); });
}

std::vector<TFensterLabel*> TStandardfenster::WertLabels() const
{
    return {AktuellerWertLabel, MinLabel, MittelLabel, MaxLabel};
}

std::vector<TFensterLabel*> TStandardfenster::BeschriftungsLabels() const
{
    return {BeschriftungLabel, EinheitLabel, MinEinheitLabel, MaxEinheitLabel, MittelEinheitLabel};
}

void TStandardfenster::LadeKonfiguration(const QString& IniDatei)
{
    TGrundFenster::LadeKonfiguration(IniDatei);
    const TIniFile ini(IniDatei);
    const QString& s = Name();
    LiesPosition(ini);
    SetBeschriftung(ini.ReadString(s, QStringLiteral("Beschriftung"), Beschriftung));
    Spalte = ini.ReadString(s, QStringLiteral("Spalte"), Spalte);
    SetEinheit(ini.ReadString(s, QStringLiteral("Einheit"), Einheit));
    // Before the colours: the value colour applies only without ranges.
    LiesBereiche(ini);
    SetSchrift(ini.ReadString(s, QStringLiteral("Schrift"), QStringLiteral("MS SANS SERIF")));
    SetSchriftFarbeWerte(ini.ReadInteger(s, QStringLiteral("SchriftFarbeWerte"), clRed));
    SetSchriftFarbeBesch(ini.ReadInteger(s, QStringLiteral("SchriftFarbeBesch"), clBlack));
    SetColor(ini.ReadInteger(s, QStringLiteral("FensterFarbe"), Color()));
    SetLHFarbe(ini.ReadInteger(s, QStringLiteral("LHFarbe"), clBlack));
}

void TStandardfenster::SpeichereKonfiguration(const QString& IniDatei)
{
    TGrundFenster::SpeichereKonfiguration(IniDatei);
    TIniFile ini(IniDatei);
    const QString& s = Name();
    ini.WriteInteger(s, QStringLiteral("FensterID"), 1);
    ini.WriteString(s, QStringLiteral("Beschriftung"), Beschriftung);
    ini.WriteString(s, QStringLiteral("Spalte"), Spalte);
    ini.WriteString(s, QStringLiteral("Einheit"), Einheit);
    ini.WriteInteger(s, QStringLiteral("PositionX"), x());
    ini.WriteInteger(s, QStringLiteral("PositionY"), y());
    ini.WriteBool(s, QStringLiteral("Aktiv"), Aktiv);
    SchreibeBereiche(ini);
    ini.WriteString(s, QStringLiteral("Schrift"), Schrift);
    ini.WriteInteger(s, QStringLiteral("SchriftFarbeWerte"), SchriftFarbeWerte);
    ini.WriteInteger(s, QStringLiteral("SchriftFarbeBesch"), SchriftFarbeBesch);
    ini.WriteInteger(s, QStringLiteral("FensterFarbe"), Color());
    ini.WriteInteger(s, QStringLiteral("LHFarbe"), LHFarbe);
}

void TStandardfenster::SetBeschriftung(const QString& Value)
{
    Beschriftung = Value;
    BeschriftungLabel->SetCaption(Value);
}

void TStandardfenster::SetEinheit(const QString& Value)
{
    Einheit = Value;
    MinEinheitLabel->SetCaption(Format(QStringLiteral("Min\r(%s)"), {Value}));
    MaxEinheitLabel->SetCaption(Format(QStringLiteral("Max\r(%s)"), {Value}));
    MittelEinheitLabel->SetCaption(Format(QStringLiteral("Mittel\r(%s)"), {Value}));
    EinheitLabel->SetCaption(Value);
}

void TStandardfenster::SetLHFarbe(TColor Value)
{
    LHFarbe = Value;
    for (TFensterLabel* l : WertLabels())
        l->SetColor(Value);
}

void TStandardfenster::SetSchrift(const QString& Value)
{
    Schrift = Value;
    for (TFensterLabel* l : WertLabels())
        l->SetFontName(Value);
    for (TFensterLabel* l : BeschriftungsLabels())
        l->SetFontName(Value);
}

void TStandardfenster::SetSchriftFarbeWerte(TColor Value)
{
    SchriftFarbeWerte = Value;
    if (HatBereiche())
        return;
    for (TFensterLabel* l : WertLabels())
        l->SetFontColor(Value);
}

void TStandardfenster::SetSchriftFarbeBesch(TColor Value)
{
    SchriftFarbeBesch = Value;
    for (TFensterLabel* l : BeschriftungsLabels())
        l->SetFontColor(Value);
}

void TStandardfenster::ZeigeWert(TFensterLabel& Label, double Wert, const double* Ersatz)
{
    if (Wert == KeinWert) {
        Label.SetCaption(QStringLiteral("-"));
        return;
    }
    if (ZeigeImBereich(Label, Wert))
        return;
    if (!HatBereiche())
        Label.SetCaption(WertText(Wert));
    else if (Ersatz)
        Label.SetCaption(WertText(*Ersatz));
}

void TStandardfenster::Aktualisiere(TDatenLoader* Sender)
{
    if (!Sender)
        return;
    const double max = Sender->Maximum(Spalte, 5);
    const double min = Sender->Minimum(Spalte, 5);
    double mittel = KeinWert;
    double oben = 0;
    double unten = 0;
    const bool mitBereichen = HatBereiche();
    if (mitBereichen) {
        Bereiche->Gesamtbereich(oben, unten);
        mittel = Sender->MittelwertBereich(Spalte, 5, unten, oben);
    } else {
        mittel = Sender->Mittelwert(Spalte, 5);
    }
    const double akt = Sender->AktuellerWert(Spalte, 5);

    // Beyond the ranges the extremes show the ranges' own limits.
    const double maxErsatz = std::min(max, oben);
    const double minErsatz = std::max(min, unten);
    ZeigeWert(*MaxLabel, max, mitBereichen ? &maxErsatz : nullptr);
    ZeigeWert(*MinLabel, min, mitBereichen ? &minErsatz : nullptr);
    ZeigeWert(*MittelLabel, mittel, nullptr);
    ZeigeWert(*AktuellerWertLabel, akt, nullptr);
}

void TStandardfenster::PopupMenu1Popup()
{
    // The derived dew-point column has no history of its own to chart.
    N24hVerlauf1->setEnabled(!Name().contains(QLatin1String("ttp")));
}

void TStandardfenster::N24hVerlauf1Click()
{
    TDatenLoader* loader = LoaderClient ? LoaderClient->GetLoader(0) : nullptr;
    if (!loader || !Owner().Oeffne24hVerlauf)
        return;
    Owner().Oeffne24hVerlauf(TVerlaufAufruf{this, loader, Beschriftung, Einheit, Spalte, IniDatei, Bereiche.get()});
}
