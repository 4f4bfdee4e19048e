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
    for (const QString& s : sektionen.mid(0, 3)) {
        QStringList schluessel, werte;
        ini.ReadSection(s, schluessel);
        ini.ReadSectionValues(s, werte);
        for (const QString& k : schluessel.mid(0, 3)) {
            const QString v = ini.ReadString(s, k, QStringLiteral("\x01"));
            (void)ini.ReadInteger(s, k, 0);
            (void)ini.ReadFloat(s, k, 0);
            (void)ini.ValueExists(s, k);
            // The numbered read finds what a read of each index finds.
            for (const QString& prefix : {k.left(5), k.left(k.size() - 1), k + u' '}) {
                QList<int> einzeln;
                for (int j = 0; j <= 20; ++j)
                    if (ini.ValueExists(s, prefix + QString::number(j)))
                        einzeln << ini.ReadInteger(s, prefix + QString::number(j), -1);
                fuzz::Pruefe(ini.ReadNumberedIntegers(s, prefix, 20, -1) == einzeln, "numbered keys as each index reads");
            }
            // Writes are what costs: one key per input.
            if (++gelesen > 1 || k.contains(u'=') || k.trimmed().isEmpty() || s.contains(u']'))
                continue;
            // One round may normalise blanks; the second changes nothing. A
            // value in quotes loses them on every read, as private-profile
            // files do.
            if (v.size() >= 2 && v.trimmed().startsWith(u'"') && v.trimmed().endsWith(u'"'))
                continue;
            ini.WriteString(s, k, v);
            const QString einmal = ini.ReadString(s, k, QString());
            ini.WriteString(s, k, einmal);
            const QString zurueck = ini.ReadString(s, k, QString());
            if (zurueck != einmal)
                std::fprintf(stderr, "[%s] %s: '%s' -> '%s'\n", qPrintable(s), qPrintable(k), qPrintable(einmal), qPrintable(zurueck));
            fuzz::Pruefe(zurueck == einmal, "a written value reads back");
        }
    }

    // Values of every kind into a fresh file come back as written.
    const QString neu = fuzz::Datei("neu.ini");
    QFile::remove(neu);
    TIniFile frisch(neu);
    QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).left(200);
    if (!text.isEmpty() && text.back().isHighSurrogate())
        text.chop(1);   // no half of a pair

    frisch.WriteString(QStringLiteral("Global"), QStringLiteral("Text"), text);
    frisch.WriteInteger(QStringLiteral("Global"), QStringLiteral("Zahl"), static_cast<int>(size) - 100);
    QString erwartet = text;
    erwartet.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
    erwartet = erwartet.trimmed();
    if (erwartet.size() >= 2 && erwartet.startsWith(u'"') && erwartet.endsWith(u'"'))
        erwartet = erwartet.mid(1, erwartet.size() - 2);
    const QString frischGelesen = frisch.ReadString(QStringLiteral("Global"), QStringLiteral("Text"), QString());
    if (frischGelesen.trimmed() != erwartet.trimmed())
        for (qsizetype k = 0; k < std::max(erwartet.size(), frischGelesen.size()); ++k)
            if (QChar(k < erwartet.size() ? erwartet.at(k) : QChar()) != QChar(k < frischGelesen.size() ? frischGelesen.at(k) : QChar())) {
                std::fprintf(stderr, "at %lld: %04x -> %04x (sizes %lld, %lld)\n", static_cast<long long>(k), QChar(k < erwartet.size() ? erwartet.at(k) : QChar()).unicode(),
                             QChar(k < frischGelesen.size() ? frischGelesen.at(k) : QChar()).unicode(), static_cast<long long>(erwartet.size()), static_cast<long long>(frischGelesen.size()));
                break;
            }
    fuzz::Pruefe(frischGelesen.trimmed() == erwartet.trimmed(), "a fresh value reads back");
    fuzz::Pruefe(frisch.ReadInteger(QStringLiteral("global"), QStringLiteral("ZAHL"), 0) == static_cast<int>(size) - 100,
                 "an integer reads back");
    return 0;
}
