// The INI reader and writer: whatever the file holds, reading never fails,
// and writing back what was read settles after one round.
#include "FuzzSupport.h"
#include "IniFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Einrichten();
    const QString pfad = fuzz::Datei("fuzz.ini");
    fuzz::Schreibe(pfad, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    TIniFile ini(pfad);
    QStringList sektionen;
    ini.ReadSections(sektionen);
    int gelesen = 0;
    for (const QString& s : sektionen.mid(0, 4)) {
        QStringList schluessel, werte;
        ini.ReadSection(s, schluessel);
        ini.ReadSectionValues(s, werte);
        for (const QString& k : schluessel.mid(0, 4)) {
            const QString v = ini.ReadString(s, k, QStringLiteral("\x01"));
            (void)ini.ReadInteger(s, k, 0);
            (void)ini.ReadFloat(s, k, 0);
            (void)ini.ValueExists(s, k);
            // Writes are what costs: one key per input.
            if (++gelesen > 1 || k.contains(u'=') || k.trimmed().isEmpty() || s.contains(u']'))
                continue;
            // One round may normalise quotes and blanks; the second changes nothing.
            ini.WriteString(s, k, v);
            const QString einmal = ini.ReadString(s, k, QString());
            ini.WriteString(s, k, einmal);
            const QByteArray stand = fuzz::Lies(pfad);
            fuzz::Pruefe(ini.ReadString(s, k, QString()) == einmal, "a written value reads back");
            ini.WriteString(s, k, einmal);
            fuzz::Pruefe(fuzz::Lies(pfad) == stand, "writing the same value changes nothing");
        }
    }

    // Values of every kind into a fresh file come back as written.
    const QString neu = fuzz::Datei("neu.ini");
    QFile::remove(neu);
    TIniFile frisch(neu);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).left(200);
    frisch.WriteString(QStringLiteral("Global"), QStringLiteral("Text"), text);
    frisch.WriteInteger(QStringLiteral("Global"), QStringLiteral("Zahl"), static_cast<int>(size) - 100);
    QString erwartet = text;
    erwartet.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
    erwartet = erwartet.trimmed();
    if (erwartet.size() >= 2 && erwartet.startsWith(u'"') && erwartet.endsWith(u'"'))
        erwartet = erwartet.mid(1, erwartet.size() - 2);
    fuzz::Pruefe(frisch.ReadString(QStringLiteral("Global"), QStringLiteral("Text"), QString()).trimmed() == erwartet.trimmed(),
                 "a fresh value reads back");
    fuzz::Pruefe(frisch.ReadInteger(QStringLiteral("global"), QStringLiteral("ZAHL"), 0) == static_cast<int>(size) - 100,
                 "an integer reads back");
    return 0;
}
