#include "UhrFensterUnit.h"

#include "IniFiles.h"

#include <QAction>
#include <QMenu>

TUhrFenster::TUhrFenster(TFensterOwner& AOwner, const QString& DatumText, const QString& ZeitText, int FensterID)
    : TGrundFenster(AOwner), m_fensterID(FensterID)
{
    resize(154, 123);
    auto beschriftung = [this](int top, const QString& text) {
        auto* l = new TFensterLabel(this, 8, top, 137, 13, text);
        l->SetBold(true);
        return l;
    };
    auto wert = [this](int top) {
        auto* l = new TFensterLabel(this, 8, top, 137, 33, QStringLiteral("-"));
        l->setAlignment(Qt::AlignCenter);
        l->SetBold(true);
        l->SetFontHeight(24);
        l->SetColor(clBlack);
        return l;
    };
    Label2 = beschriftung(8, DatumText);
    DatumLabel = wert(24);
    Bevel2 = new TBevel(this, 8, 24, 137, 33);
    Label3 = beschriftung(64, ZeitText);
    ZeitLabel = wert(80);
    Bevel3 = new TBevel(this, 8, 80, 137, 33);

    ErzeugeMenu();
    Optionen1 = NeuerMenuPunkt(QStringLiteral("Optionen1"), QStringLiteral("Optionen..."), [this] { Optionen1Click(); });
    N1 = NeuerMenuPunkt(QStringLiteral("N1"), QStringLiteral("-"), {});
    Deaktivieren1 = NeuerMenuPunkt(QStringLiteral("Deaktivieren1"), QStringLiteral("Deaktivieren"),
                                   [this] { Deaktivieren1Click(); });
    PopupMenu1->setDefaultAction(Deaktivieren1);
}

void TUhrFenster::LadeKonfiguration(const QString& IniDatei)
{
    TGrundFenster::LadeKonfiguration(IniDatei);
    const TIniFile ini(IniDatei);
    const QString& s = Name();
    LiesPosition(ini);
    SetSchrift(ini.ReadString(s, QStringLiteral("Schrift"), QStringLiteral("MS SANS SERIF")));
    SetSchriftFarbeWerte(ini.ReadInteger(s, QStringLiteral("SchriftFarbeWerte"), clRed));
    SetSchriftFarbeBesch(ini.ReadInteger(s, QStringLiteral("SchriftFarbeBesch"), clBlack));
    SetColor(ini.ReadInteger(s, QStringLiteral("FensterFarbe"), Color()));
    SetLHFarbe(ini.ReadInteger(s, QStringLiteral("LHFarbe"), clBlack));
}

void TUhrFenster::SpeichereKonfiguration(const QString& IniDatei)
{
    TGrundFenster::SpeichereKonfiguration(IniDatei);
    TIniFile ini(IniDatei);
    const QString& s = Name();
    ini.WriteBool(s, QStringLiteral("Aktiv"), Aktiv);
    ini.WriteInteger(s, QStringLiteral("FensterID"), m_fensterID);
    ini.WriteInteger(s, QStringLiteral("PositionX"), x());
    ini.WriteInteger(s, QStringLiteral("PositionY"), y());
    ini.WriteString(s, QStringLiteral("Schrift"), Schrift);
    ini.WriteInteger(s, QStringLiteral("SchriftFarbeWerte"), SchriftFarbeWerte);
    ini.WriteInteger(s, QStringLiteral("SchriftFarbeBesch"), SchriftFarbeBesch);
    ini.WriteInteger(s, QStringLiteral("FensterFarbe"), Color());
    ini.WriteInteger(s, QStringLiteral("LHFarbe"), LHFarbe);
}

void TUhrFenster::SetSchrift(const QString& Value)
{
    Schrift = Value;
    for (TFensterLabel* l : {ZeitLabel, DatumLabel, Label2, Label3})
        l->SetFontName(Value);
}

void TUhrFenster::SetSchriftFarbeBesch(TColor Value)
{
    SchriftFarbeBesch = Value;
    Label2->SetFontColor(Value);
    Label3->SetFontColor(Value);
}

// The clocks colour nothing by ranges: always applied.
void TUhrFenster::SetSchriftFarbeWerte(TColor Value)
{
    SchriftFarbeWerte = Value;
    ZeitLabel->SetFontColor(Value);
    DatumLabel->SetFontColor(Value);
}

void TUhrFenster::SetLHFarbe(TColor Value)
{
    LHFarbe = Value;
    ZeitLabel->SetColor(Value);
    DatumLabel->SetColor(Value);
}
