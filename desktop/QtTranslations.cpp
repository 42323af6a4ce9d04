#include "QtTranslations.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QLibraryInfo>
#include <QtCore/QTranslator>

namespace pr {

QTranslator *installQtJapanese(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

bool localeIsJapanese(const QByteArray &lcAll, const QByteArray &lcMessages,
                      const QByteArray &lang)
{
    for (const QByteArray *value : {&lcAll, &lcMessages, &lang})
        if (!value->isEmpty())
            return *value == "ja" || value->startsWith("ja_") || value->startsWith("ja.");
    return false;
}

bool localeIsJapanese()
{
    return localeIsJapanese(qgetenv("LC_ALL"), qgetenv("LC_MESSAGES"), qgetenv("LANG"));
}

} // namespace pr
