#include "Uebersetzung.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool InstalliereQtUebersetzung()
{
    static QTranslator* qt = nullptr;
    if (qt)
        return true;
    auto* neu = new QTranslator(QCoreApplication::instance());
    if (!neu->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(neu)) {
        delete neu;
        return false;
    }
    qt = neu;
    return true;
}
