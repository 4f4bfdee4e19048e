#include "SpaltenFensterUnit.h"

#include "Diagramm24h.h"
#include "IniFiles.h"
#include "SysUtils.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

TSpaltenFenster::TSpaltenFenster(Bau B, TFensterOwner& AOwner, int FensterID, bool MitEinheit)
    : TGrundFenster(B, AOwner), m_fensterID(FensterID), m_mitEinheit(MitEinheit)
{
}

void TSpaltenFenster::Starte(const QString& Beschriftung, const QString& Einheit, const QString& Spalte,
                             const QString& IniDatei, int Nachkommastellen)
{
    SetSpalte(Spalte);
    if (m_mitEinheit)
        SetEinheit(Einheit);
    SetBeschriftung(Beschriftung);
    SetName(FensterName(Spalte, m_fensterID));
    SetNachkommastellen(Nachkommastellen);
    this->IniDatei = IniDatei;
    LadeKonfiguration(IniDatei);
}

TDatenLoader* TSpaltenFenster::Loader() const
{
    return LoaderClient ? LoaderClient->GetLoader(0) : nullptr;
}

void TSpaltenFenster::SetBeschriftung(const QString& Value)
{
    Beschriftung = Value;
    if (BeschriftungLabel)
        BeschriftungLabel->SetCaption(Value);
}

void TSpaltenFenster::SetEinheit(const QString& Value)
{
    Einheit = Value;
    if (EinheitLabel)
        EinheitLabel->SetCaption(Value);
}

void TSpaltenFenster::SetSpalte(const QString& Value)
{
    Spalte = Value;
}

void TSpaltenFenster::LiesTexte(const TIniFile& Ini)
{
    const QString& s = Name();
    SetBeschriftung(Ini.ReadString(s, QStringLiteral("Beschriftung"), Beschriftung));
    SetSpalte(Ini.ReadString(s, QStringLiteral("Spalte"), Spalte));
    if (m_mitEinheit)
        SetEinheit(Ini.ReadString(s, QStringLiteral("Einheit"), Einheit));
}

void TSpaltenFenster::SchreibeTexte(TIniFile& Ini) const
{
    const QString& s = Name();
    Ini.WriteString(s, QStringLiteral("Beschriftung"), Beschriftung);
    Ini.WriteString(s, QStringLiteral("Spalte"), Spalte);
    if (m_mitEinheit)
        Ini.WriteString(s, QStringLiteral("Einheit"), Einheit);
}

void TSpaltenFenster::SchreibeBildfensterSektion(TIniFile& Ini) const
{
    const QString& s = Name();
    Ini.WriteBool(s, QStringLiteral("Aktiv"), Aktiv);
    Ini.WriteInteger(s, QStringLiteral("FensterID"), m_fensterID);
    SchreibePosition(Ini);
    SchreibeBereicheIn(Ini);
    SchreibeTexte(Ini);
    Ini.WriteString(s, QStringLiteral("Schrift"), Schrift);
    Ini.WriteInteger(s, QStringLiteral("LHFarbe"), LHFarbe);
    Ini.WriteInteger(s, QStringLiteral("SchriftFarbeWerte"), SchriftFarbeWerte);
    Ini.WriteInteger(s, QStringLiteral("SchriftFarbeBesch"), SchriftFarbeBesch);
    Ini.WriteInteger(s, QStringLiteral("FensterFarbe"), Color());
}

void TSpaltenFenster::LadeKonfiguration(const QString& IniDatei)
{
    TGrundFenster::LadeKonfiguration(IniDatei);
    const TIniFile ini(IniDatei);
    LiesPosition(ini);
    LiesTexte(ini);
    // Before the colours: the value colour applies only without ranges.
    LiesBereicheAus(ini);
    LiesAussehen(ini, WerteFarbeVorgabe());
    LiesEigeneSchluessel(ini);
}

void TSpaltenFenster::SpeichereKonfiguration(const QString& IniDatei)
{
    TGrundFenster::SpeichereKonfiguration(IniDatei);
    TIniFile ini(IniDatei);
    const QString& s = Name();
    ini.WriteInteger(s, QStringLiteral("FensterID"), m_fensterID);
    SchreibeTexte(ini);
    SchreibePosition(ini);
    ini.WriteBool(s, QStringLiteral("Aktiv"), Aktiv);
    SchreibeBereicheIn(ini);
    SchreibeAussehen(ini);
    SchreibeEigeneSchluessel(ini);
}

void TSpaltenFenster::BaueMenu(bool Mit24h, const std::function<void()>& Zusatz)
{
    ErzeugeMenu();
    Optionen1 = NeuerMenuPunkt(QStringLiteral("Optionen1"), QStringLiteral("Optionen..."), [this] { Optionen1Click(); });
    if (Mit24h)
        N24hVerlauf1 = NeuerMenuPunkt(QStringLiteral("N24hVerlauf1"), QStringLiteral("24h - Verlauf..."),
                                      [this] { N24hVerlauf1Click(); });
    if (Zusatz)
        Zusatz();
    N1 = NeuerMenuPunkt(QStringLiteral("N1"), QStringLiteral("-"), {});
    Deaktivieren1 = NeuerMenuPunkt(QStringLiteral("Deaktivieren1"), QStringLiteral("Deaktivieren"),
                                   [this] { Deaktivieren1Click(); });
    PopupMenu1->setDefaultAction(Deaktivieren1);
}

TVerlaufAufruf TSpaltenFenster::VerlaufAufruf()
{
    return TVerlaufAufruf{this, Loader(), Beschriftung, Einheit, Spalte, IniDatei, Bereiche.get()};
}

void TSpaltenFenster::N24hVerlauf1Click()
{
    const TVerlaufAufruf aufruf = VerlaufAufruf();
    if (!aufruf.Loader)
        return;
    if (Owner().Oeffne24hVerlauf)
        Owner().Oeffne24hVerlauf(aufruf);
    else
        TDiagrammFenster::Oeffne(aufruf);
}

double TSpaltenFenster::ZeigeStatistik(TDatenLoader& Loader, TFensterLabel& Max, TFensterLabel& Min,
                                       TFensterLabel& Mittel, TFensterLabel& Aktuell)
{
    const double max = Loader.Maximum(Spalte, 5);
    const double min = Loader.Minimum(Spalte, 5);
    double oben = 0;
    double unten = 0;
    const bool mitBereichen = HatBereiche();
    double mittel = KeinWert;
    if (mitBereichen) {
        Bereiche->Gesamtbereich(oben, unten);
        mittel = Loader.MittelwertBereich(Spalte, 5, unten, oben);
    } else {
        mittel = Loader.Mittelwert(Spalte, 5);
    }
    const double akt = Loader.AktuellerWert(Spalte, 5);

    // "-" for no value, else coloured by range; no range holding it: the
    // plain text without ranges, the substitute with ranges if there is one.
    auto zeige = [&](TFensterLabel& label, double wert, const double* ersatz) {
        if (wert == KeinWert) {
            label.SetCaption(QStringLiteral("-"));
            return false;
        }
        if (ZeigeImBereich(label, wert))
            return true;
        if (!mitBereichen) {
            label.SetCaption(WertText(wert));
            return true;
        }
        if (ersatz)
            label.SetCaption(WertText(*ersatz));
        return false;
    };
    const double maxErsatz = std::min(max, oben);
    const double minErsatz = std::max(min, unten);
    zeige(Max, max, mitBereichen ? &maxErsatz : nullptr);
    zeige(Min, min, mitBereichen ? &minErsatz : nullptr);
    zeige(Mittel, mittel, nullptr);
    return zeige(Aktuell, akt, nullptr) ? akt : KeinWert;
}

QAction* BaueWahlMenu(TGrundFenster& Fenster, const QString& Name, const QString& Titel, std::initializer_list<int> Werte,
                      QList<QAction*>& Punkte, const std::function<void(QAction*)>& Handler)
{
    auto* untermenu = new QMenu(Titel, Fenster.PopupMenu1);
    QAction* eintrag = untermenu->menuAction();
    eintrag->setObjectName(Name);
    Fenster.PopupMenu1->addAction(eintrag);
    for (int wert : Werte) {
        QAction* punkt = untermenu->addAction(IntToStr(wert));
        punkt->setObjectName(QStringLiteral("N") + IntToStr(wert) + QStringLiteral("1"));
        punkt->setData(wert);
        punkt->setCheckable(true);
        QObject::connect(punkt, &QAction::triggered, &Fenster, [Handler, punkt] { Guarded([&] { Handler(punkt); }); });
        Punkte << punkt;
    }
    return eintrag;
}

void SetzeHaken(const QList<QAction*>& Punkte, int Wert)
{
    for (QAction* punkt : Punkte)
        punkt->setChecked(punkt->data().toInt() == Wert);
}
