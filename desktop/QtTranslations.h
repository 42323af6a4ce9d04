#pragma once
#include <QtCore/QByteArray>

class QCoreApplication;
class QTranslator;

namespace pr {

// Qt's own texts (the file, print and message dialogs' buttons and labels, the command line
// parser's errors) in Japanese, from Qt's translations (qtbase_ja.qm in
// QLibraryInfo::TranslationsPath, Debian's qt6-translations-l10n). The window always speaks
// Japanese, so its dialogs do too whatever the locale. Returns the translator installed (the
// application's child), or null where the file is missing: Qt's texts then stay English.
QTranslator *installQtJapanese(QCoreApplication &app);

// Whether the locale asks for Japanese messages: the first of LC_ALL, LC_MESSAGES and LANG
// that is set decides, as for any program's messages; ja or ja_* is Japanese.
bool localeIsJapanese(const QByteArray &lcAll, const QByteArray &lcMessages,
                      const QByteArray &lang);
// The same for this process's environment.
bool localeIsJapanese();

} // namespace pr
