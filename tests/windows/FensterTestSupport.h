#pragma once

#include "ComponentNames.h"
#include "Dialogs.h"
#include "GrundFensterUnit.h"
#include "Screen.h"
#include "TestSupport.h"

#include <QStringList>

// The main window as the display windows see it.
class FakeOwner : public TFensterOwner {
public:
    bool FensterFest() const override { return fest; }
    TComponentOwner& Komponenten() override { return komponenten; }

    bool fest = false;
    TComponentOwner komponenten;
};

// German settings, a 1024 x 768 screen and message boxes caught in a list.
class FensterTest : public GermanSettings {
protected:
    void SetUp() override
    {
        GermanSettings::SetUp();
        SetScreenInfo(&screen);
        SetMessageHook([this](const MessageRequest& r) {
            meldungen.append(r.Text);
            return IDOK;
        });
    }
    void TearDown() override
    {
        SetMessageHook({});
        SetScreenInfo(nullptr);
        GermanSettings::TearDown();
    }

    // As the owner does it at the end: write, then delete.
    static void abbauen(TGrundFenster* f)
    {
        f->Abbauen();
        delete f;
    }

    FixedScreenInfo screen{1024, 768};
    FakeOwner owner;
    TempDir dir;
    QStringList meldungen;
};

// A data file with a date, a time and two value columns, one record per line.
inline QByteArray datenKopf()
{
    return QByteArray("Datum\tZeit\tt2m  [\xC2\xB0" "C  ]\trf   [%   ]\n");
}
