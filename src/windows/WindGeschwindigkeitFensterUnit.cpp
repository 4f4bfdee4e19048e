#include "WindGeschwindigkeitFensterUnit.h"

#include "IniFiles.h"
#include "SysUtils.h"

#include <QAction>
#include <QMenu>

int BeaufortZahl(double v)
{
    // Upper bounds of the bands 0 .. 12 in m/s; above the last is 13.
    static constexpr double grenzen[] = {0.2, 1.5, 3.3, 5.4, 7.9, 10.7, 13.8, 17.1, 20.7, 24.4, 28.4, 32.6, 36.9};
    if (!(v > grenzen[0]))   // negative speeds and NaN too
        return 0;
    int b = 1;
    while (b < 13 && v > grenzen[b])
        ++b;
    return b;
}

namespace {

enum TGroesse { MS, KMH, KTN, BF };

const QString& GroessenName(TGroesse g)
{
    static const QString namen[] = {QStringLiteral("m/s"), QStringLiteral("km/h"), QStringLiteral("Knoten"),
                                    QStringLiteral("Beaufort")};
    return namen[g];
}

} // namespace

// One unit: what the gauge shows, its scale, which units the three small
// labels show from left to right, and where its ranges live.
struct TWindspeedFenster::TEinheitZeile {
    TGroesse Groesse;
    int Minimum;
    int Maximum;
    double AnzeigeSchritt;
    int BeschriftungSchritt;
    TGroesse Links, Mitte, Rechts;
    const char* Zusatz;
    std::unique_ptr<TRanges> TWindspeedFenster::*Liste;
};

const std::array<TWindspeedFenster::TEinheitZeile, 4>& TWindspeedFenster::Einheiten()
{
    static const std::array<TEinheitZeile, 4> zeilen = {{
        {MS, 0, 50, 0.1, 5, BF, KMH, KTN, "MS", &TWindspeedFenster::BereicheMS},
        {KMH, 0, 150, 0.1, 10, KTN, MS, BF, "KMH", &TWindspeedFenster::BereicheKMH},
        {KTN, 0, 75, 0.1, 5, MS, BF, KMH, "KTN", &TWindspeedFenster::BereicheKTN},
        {BF, 0, 12, 1.0, 1, KMH, KTN, MS, "BF", &TWindspeedFenster::BereicheBF},
    }};
    return zeilen;
}

const TWindspeedFenster::TEinheitZeile* TWindspeedFenster::ZeileFuer(const QString& Einheit) const
{
    for (const TEinheitZeile& z : Einheiten())
        if (GroessenName(z.Groesse) == Einheit)
            return &z;
    return nullptr;
}

TWindspeedFenster::TWindspeedFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                                     const QString&, const QString& Spalte, const QString& IniDatei,
                                     int Nachkommastellen)
    : TMessgeraetFenster(B, AOwner, 4, false)
{
    BaueForm();
    // The unit comes from the section ("m/s" when it has none).
    Starte<TLoaderClient>(Loader, Beschriftung, QString(), Spalte, IniDatei, Nachkommastellen);
}

void TWindspeedFenster::BaueForm()
{
    resize(248, 294);
    TMeter* m = ErzeugeMessgeraet(4, 24, 241, 211);
    TFontDesc schrift;
    schrift.Bold = true;
    schrift.Color = clWindow;
    m->SetFont(schrift);
    m->SetMinimum(0);
    m->SetMaximum(12);
    m->SetBeschriftungSchritt(1);
    m->SetAnzeigeSchritt(1.0);
    m->SetZusatzBeschriftung(true);
    m->SetBeschriftung(QStringLiteral("Beaufort"));
    m->SetAnzahlKommastellen(1);
    m->SetBeschrFarbeVonBereich(true);
    m->SetBeschrFarbe(clGreen);

    Label1 = new TFensterLabel(this, 8, 6, 233, 13, QStringLiteral("Windgeschwindigkeit"));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->SetBold(true);
    auto name = [this](int left, int width) {
        auto* l = new TFensterLabel(this, left, 248, width, 13, QString());
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        return l;
    };
    auto wert = [this](int left) {
        auto* l = new TFensterLabel(this, left, 262, 49, 16, QStringLiteral("-"));
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        l->SetColor(clBlack);
        l->SetBold(true);
        l->SetFontHeight(-13);
        l->SetFontColor(clGreen);
        l->SetRand(2);
        return l;
    };
    BeschrULLabel = name(8, 81);
    BeschrUMLabel = name(87, 73);
    BeschrURLabel = name(160, 81);
    WertULLabel = wert(24);
    WertUMLabel = wert(100);
    WertURLabel = wert(177);
    Bevel3 = new TBevel(this, 24, 262, 49, 17);
    Bevel4 = new TBevel(this, 100, 262, 49, 17);
    Bevel5 = new TBevel(this, 177, 262, 49, 17);
    Bevel6 = new TBevel(this, 8, 245, 233, 37);

    WertLabels = {WertULLabel, WertUMLabel, WertURLabel};
    BeschriftungsLabels = {BeschrULLabel, BeschrUMLabel, BeschrURLabel};
    WerteFarbeImmer = true;

    BaueMenu(true, [this] {
        auto* untermenu = new QMenu(QStringLiteral("Einheit"), PopupMenu1);
        Einheit1 = untermenu->menuAction();
        Einheit1->setObjectName(QStringLiteral("Einheit1"));
        PopupMenu1->addAction(Einheit1);
        auto punkt = [this, untermenu](const char* name, const QString& text) {
            QAction* a = untermenu->addAction(text);
            a->setObjectName(QString::fromLatin1(name));
            a->setCheckable(true);
            QObject::connect(a, &QAction::triggered, this, [this, a] { Guarded([&] { Beaufort1Click(a); }); });
            return a;
        };
        Beaufort1 = punkt("Beaufort1", QStringLiteral("Beaufort"));
        kmh1 = punkt("kmh1", QStringLiteral("km/h"));
        Knoten1 = punkt("Knoten1", QStringLiteral("Knoten"));
        m21 = punkt("m21", QStringLiteral("m/s"));
    });
}

void TWindspeedFenster::NimmBereicheZurueck()
{
    const TEinheitZeile* z = ZeileFuer(Einheit);
    TRanges* liste = z ? (this->*z->Liste).get() : nullptr;
    if (!liste || !Bereiche)
        return;
    liste->Clear();
    for (int i = 0; i < Bereiche->Count(); ++i)
        liste->Add(Bereiche->GetBereich(i));
}

void TWindspeedFenster::LiesBereicheAus(const TIniFile& Ini)
{
    Bereiche = std::make_unique<TRanges>();
    BereicheMS = std::make_unique<TRanges>();
    BereicheKMH = std::make_unique<TRanges>();
    BereicheKTN = std::make_unique<TRanges>();
    BereicheBF = std::make_unique<TRanges>();
    for (const TEinheitZeile& z : Einheiten())
        LiesBereicheListe(Ini, QLatin1String(z.Zusatz), *(this->*z.Liste));
}

void TWindspeedFenster::SchreibeBereicheIn(TIniFile& Ini) const
{
    for (const TEinheitZeile& z : Einheiten())
        if (!(this->*z.Liste))
            return;
    for (const TEinheitZeile& z : Einheiten())
        SchreibeBereicheListe(Ini, QLatin1String(z.Zusatz), *(this->*z.Liste));
}

void TWindspeedFenster::LiesEigeneSchluessel(const TIniFile& Ini)
{
    SetEinheit(Ini.ReadString(Name(), QStringLiteral("Einheit"), QStringLiteral("m/s")));
}

void TWindspeedFenster::SchreibeEigeneSchluessel(TIniFile& Ini) const
{
    Ini.WriteString(Name(), QStringLiteral("Einheit"), Einheit);
}

void TWindspeedFenster::SetBeschriftung(const QString& Value)
{
    Beschriftung = Value;
    AktuellerWertMeter->SetBeschriftung(Value);
    Label1->SetCaption(QStringLiteral("Windgeschwindigkeit"));
}

void TWindspeedFenster::SetEinheit(const QString& Value)
{
    for (QAction* a : {Beaufort1, kmh1, Knoten1, m21})
        a->setChecked(a->text() == Value);
    SetBeschriftung(Value);

    NimmBereicheZurueck();
    if (const TEinheitZeile* neu = ZeileFuer(Value)) {
        BeschrULLabel->SetCaption(GroessenName(neu->Links));
        BeschrUMLabel->SetCaption(GroessenName(neu->Mitte));
        BeschrURLabel->SetCaption(GroessenName(neu->Rechts));
        TMeter* m = AktuellerWertMeter;
        m->SetMinimum(neu->Minimum);
        m->SetMaximum(neu->Maximum);
        if (neu->Groesse != BF)
            m->SetAnzeigeSchritt(neu->AnzeigeSchritt);
        if (!Bereiche)
            Bereiche = std::make_unique<TRanges>();
        Bereiche->Clear();
        m->Bereiche().Clear();
        if (const TRanges* liste = (this->*neu->Liste).get()) {
            for (int i = 0; i < liste->Count(); ++i) {
                Bereiche->Add(liste->GetBereich(i));
                m->Bereiche().Add(Bereiche->GetBereich(Bereiche->Count() - 1));
            }
        }
        if (neu->Groesse == BF)
            m->SetAnzeigeSchritt(1.0);
        m->SetBeschriftungSchritt(neu->BeschriftungSchritt);
    }
    Einheit = Value;
    if (TDatenLoader* loader = Loader())
        Aktualisiere(loader);
}

void TWindspeedFenster::SetLHFarbe(TColor Value)
{
    TMessgeraetFenster::SetLHFarbe(Value);
    AktuellerWertMeter->SetBeschrHFarbe(Value);
}

void TWindspeedFenster::SetSchrift(const QString& Value)
{
    TMessgeraetFenster::SetSchrift(Value);
    TFontDesc f = AktuellerWertMeter->Font();
    f.Name = Value;
    AktuellerWertMeter->SetFont(f);
}

void TWindspeedFenster::SetSchriftFarbeBesch(TColor Value)
{
    TMessgeraetFenster::SetSchriftFarbeBesch(Value);
    TFontDesc f = AktuellerWertMeter->Font();
    f.Color = Value;
    AktuellerWertMeter->SetFont(f);
    AktuellerWertMeter->Zeichne();
}

void TWindspeedFenster::SetSchriftFarbeWerte(TColor Value)
{
    TMessgeraetFenster::SetSchriftFarbeWerte(Value);
    AktuellerWertMeter->SetBeschrFarbe(Value);
}

void TWindspeedFenster::Aktualisiere(TDatenLoader* Sender)
{
    if (!Sender)
        return;
    const double v = Sender->AktuellerWert(Spalte, 5);
    if (v == KeinWert)
        return;
    const TEinheitZeile* zeile = ZeileFuer(Einheit);
    if (!zeile)
        return;
    const double werte[] = {v, 3.6 * v, 1.944 * v, static_cast<double>(BeaufortZahl(v))};
    auto text = [&](TGroesse g) { return g == BF ? IntToStr(BeaufortZahl(v)) : WertText(werte[g]); };

    TMeter* m = AktuellerWertMeter;
    const int stellen = zeile->Groesse == BF ? 0 : Nachkommastellen;
    if (m->AnzahlKommastellen() != stellen)
        m->SetAnzahlKommastellen(stellen);
    m->SetPosition(werte[zeile->Groesse]);
    WertULLabel->SetCaption(text(zeile->Links));
    WertUMLabel->SetCaption(text(zeile->Mitte));
    WertURLabel->SetCaption(text(zeile->Rechts));
}

TVerlaufAufruf TWindspeedFenster::VerlaufAufruf()
{
    // The chart shows the column as stored, in m/s, with the ranges of the
    // unit shown now.
    return TVerlaufAufruf{this,          Loader(), QStringLiteral("Windgeschwindigkeit"), QStringLiteral("m/s"),
                          Spalte,        IniDatei, Bereiche.get()};
}

void TWindspeedFenster::Deaktivieren1Click()
{
    Aktiv = false;
    NimmBereicheZurueck();
    TMessgeraetFenster::Deaktivieren1Click();
}

void TWindspeedFenster::Beaufort1Click(QAction* Sender)
{
    if (Sender)
        SetEinheit(Sender->text());
}
