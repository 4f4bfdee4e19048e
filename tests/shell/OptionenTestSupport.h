#pragma once

#include "../windows/FensterTestSupport.h"
#include "OptionenFensterUnit.h"
#include "SpaltenFensterUnit.h"
#include "SysUtils.h"

// Every call the options dialog makes, the main window's and the window's,
// in one list.
using Protokoll = QStringList;

class AufzeichnendeEinstellungen : public TProgrammEinstellungen {
public:
    explicit AufzeichnendeEinstellungen(Protokoll& p) : m_p(p) {}
    int Interval() const override { return interval; }
    QString HintergrundBild() const override { return bild; }
    double HalteDauer() const override { return halteDauer; }
    void SetInterval(int v) override { m_p << QStringLiteral("SetInterval(%1)").arg(v); }
    void SetHalteDauer(double v) override { m_p << QStringLiteral("SetHalteDauer(%1)").arg(v); }
    void SetHintergrund(const QString& v) override { m_p << QStringLiteral("SetHintergrund(%1)").arg(v); }

    int interval = 2000;
    QString bild;
    double halteDauer = 1.5;

private:
    Protokoll& m_p;
};

// The look setters every window has; each call is recorded, then the
// window's own one runs.
template<class Basis>
class AufzeichnendesAussehen : public Basis {
public:
    template<class... A>
    AufzeichnendesAussehen(Protokoll& p, A&&... a) : Basis(std::forward<A>(a)...), m_p(p)
    {
    }
    void SetSchrift(const QString& v) override { schreibe(QStringLiteral("SetSchrift(%1)").arg(v)); Basis::SetSchrift(v); }
    void SetColor(TColor v) override { schreibe(QStringLiteral("SetColor(%1)").arg(v)); Basis::SetColor(v); }
    void SetSchriftFarbeBesch(TColor v) override
    {
        schreibe(QStringLiteral("SetSchriftFarbeBesch(%1)").arg(v));
        Basis::SetSchriftFarbeBesch(v);
    }
    void SetSchriftFarbeWerte(TColor v) override
    {
        schreibe(QStringLiteral("SetSchriftFarbeWerte(%1)").arg(v));
        Basis::SetSchriftFarbeWerte(v);
    }
    void SetLHFarbe(TColor v) override { schreibe(QStringLiteral("SetLHFarbe(%1)").arg(v)); Basis::SetLHFarbe(v); }

protected:
    void schreibe(const QString& s) { m_p << s; }

private:
    Protokoll& m_p;
};

// A column window of any kind: the kind's code, its span and whether it has
// a gauge with ranges of its own are given.
class FakeSpaltenFenster : public AufzeichnendesAussehen<TSpaltenFenster> {
public:
    FakeSpaltenFenster(Bau B, TFensterOwner& o, Protokoll& p, int id, TSpannenArt art = TSpannenArt::Keine,
                       bool mitInstrument = false)
        : AufzeichnendesAussehen<TSpaltenFenster>(p, B, o, id, id != 6 && id != 8), m_art(art),
          m_mitInstrument(mitInstrument)
    {
        Bereiche = std::make_unique<TRanges>();
    }
    void Aktualisiere(TDatenLoader*) override {}
    void SpeichereKonfiguration(const QString&) override {}

    void SetBeschriftung(const QString& v) override
    {
        schreibe(QStringLiteral("SetBeschriftung(%1)").arg(v));
        TSpaltenFenster::SetBeschriftung(v);
    }
    void SetEinheit(const QString& v) override
    {
        schreibe(QStringLiteral("SetEinheit(%1)").arg(v));
        TSpaltenFenster::SetEinheit(v);
    }
    TSpannenArt SpannenArt() const override { return m_art; }
    double Spanne() const override { return spanne; }
    void SetSpanne(double v) override
    {
        schreibe(QStringLiteral("SetSpanne(%1)").arg(v));
        spanne = v;
    }
    TRanges* InstrumentBereiche() override { return m_mitInstrument ? &instrument : nullptr; }
    void ZeichneInstrument() override { schreibe(QStringLiteral("ZeichneInstrument(%1)").arg(instrument.Count())); }
    void NachFensterFarbe() override { schreibe(QStringLiteral("NachFensterFarbe")); }

    double spanne = 0;
    TRanges instrument;

private:
    TSpannenArt m_art;
    bool m_mitInstrument;
};

// A clock: a base window only.
class FakeUhr : public AufzeichnendesAussehen<TGrundFenster> {
public:
    FakeUhr(Bau B, TFensterOwner& o, Protokoll& p, int id) : AufzeichnendesAussehen<TGrundFenster>(p, B, o), m_id(id) {}
    int FensterID() const override { return m_id; }

private:
    int m_id;
};

// A window of each kind as its class would answer the dialog.
inline FakeSpaltenFenster* FensterDerArt(TFensterOwner& owner, Protokoll& p, int id)
{
    using Art = TSpaltenFenster::TSpannenArt;
    const Art art = (id == 3 || id == 9) ? Art::Tage : id == 10 ? Art::Stunden : Art::Keine;
    const bool instrument = id == 4 || id == 5 || id == 7;
    return Erzeuge<FakeSpaltenFenster>(owner, p, id, art, instrument);
}

class OptionenTest : public FensterTest {
protected:
    void TearDown() override
    {
        SetOpenFileHook({});
        SetColorHook({});
        FensterTest::TearDown();
    }
    Protokoll protokoll;
    AufzeichnendeEinstellungen programm{protokoll};
};
