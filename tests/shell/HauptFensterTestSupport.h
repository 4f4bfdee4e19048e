#pragma once

#include "DatenLoaderUnit.h"
#include "Dialogs.h"
#include "GrafikRegenMesserUnit.h"
#include "HauptFensterUnit.h"
#include "IniFiles.h"
#include "InstanzGuard.h"
#include "LogFile.h"
#include "PrgEinstDlg.h"
#include "RegenMesserFensterUnit.h"
#include "Screen.h"
#include "SpaltenFensterUnit.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QTimer>

inline const QByteArray kKopf = "Datum\tUhrzeit\tt2m  [\xC2\xB0" "C  ]\trf   [%   ]\tp    [hPa ]\n";

inline QByteArray zeile(int minute, double t)
{
    return QStringLiteral("08.12.2026\t10:%1:00\t%2\t80\t1013.5\n").arg(minute, 2, 10, QChar(u'0')).arg(t).toUtf8();
}

// A program folder of its own: the program file, its INI and log beside it,
// and a data file.
class HauptFensterTest : public GermanSettings {
protected:
    void SetUp() override
    {
        GermanSettings::SetUp();
        SetScreenInfo(&screen);
        SetMessageHook([this](const MessageRequest& r) {
            boxen.append(r.Text);
            return IDOK;
        });
        SetOpenFileHook([this](const QString&, const QString&, const QString&, QString& name) {
            ++dialoge;
            if (auswahl.isEmpty())
                return false;
            name = auswahl;
            return true;
        });
        programm = dir.path(QStringLiteral("vantorel"));
        writeFile(programm, "");
        ini = dir.path(QStringLiteral("vantorel.ini"));
        log = dir.path(QStringLiteral("vantorel.log"));
        daten = dir.path(QStringLiteral("daten.txt"));
        writeFile(daten, kKopf + zeile(0, 1.5));
    }
    void TearDown() override
    {
        SetOpenFileHook({});
        SetMessageHook({});
        SetScreenInfo(nullptr);
        THauptFenster::NeuerProzess() = [](const QString& p, const QStringList& a) { return QProcess::startDetached(p, a); };
        GermanSettings::TearDown();
    }

    std::unique_ptr<THauptFenster> starte(QStringList argumente = {})
    {
        if (argumente.isEmpty() && mitArgument)
            argumente << daten;
        return std::make_unique<THauptFenster>(TStartParameter{programm, argumente});
    }
    static QStringList namen(const THauptFenster& h)
    {
        QStringList r;
        for (TGrundFenster* f : h.Anzeigefenster())
            r << f->Name();
        return r;
    }
    QString iniText() const { return QString::fromUtf8(readFile(ini)); }

    FixedScreenInfo screen{1600, 900};
    TempDir dir;
    QString programm, ini, log, daten, auswahl;
    QStringList boxen;
    int dialoge = 0;
    bool mitArgument = true;
};

