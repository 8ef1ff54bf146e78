#pragma once

#include <QString>
#include <QStringList>

// The language of everything the browser says on its own, and of Qt's own
// dialogs (save, colour, file), which follow it so the two never mix.
//
// The host may name one with `language`, a BCP 47 tag ("zh-CN", "de",
// "zh-Hant"); without it, or for a language no catalogue is shipped for, the
// desktop's languages count (QLocale::system(): LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG), and last English, the language of the source texts.
namespace language {

// The catalogue that serves tag, else the first of desktopLanguages (as
// QLocale::uiLanguages() gives them, best first) that one serves: "zh_CN",
// "zh_TW", "ja", "de", "es", or empty for English. Chinese goes by script:
// Taiwan, Hong Kong and Macau, and "Hant", read Traditional.
QString catalogueFor(const QString &tag, const QStringList &desktopLanguages);

// Every catalogue the program carries, English (the source) aside.
QStringList shippedCatalogues();

// Installs the catalogues for tag (empty: the desktop's choice) in place of
// those installed before. Every widget gets a LanguageChange event when the
// language really changes, so texts already on screen follow. Returns the
// catalogue now in force, empty for English.
QString apply(const QString &tag);

// The catalogue in force, empty for English.
QString current();

} // namespace language
