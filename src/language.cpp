#include "language.h"

#include "qtcompat_p.h"
#include "zuvolog.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include <optional>

// Outside any namespace, as Q_INIT_RESOURCE wants.
static void initTranslationResource()
{
    Q_INIT_RESOURCE(zuvotranslations);
}

namespace {

const QStringList &shipped()
{
    static const QStringList catalogues{QStringLiteral("zh_CN"), QStringLiteral("zh_TW"), QStringLiteral("ja"),
                                        QStringLiteral("de"), QStringLiteral("es")};
    return catalogues;
}

// The catalogue for one language name; empty for English, nothing for a name
// that is no language or one without a catalogue.
std::optional<QString> catalogueOf(QString name)
{
    // Locale names from the environment carry an encoding and a modifier.
    name = name.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0).trimmed();
    if (name.isEmpty())
        return std::nullopt;
    const QLocale locale(name);
    switch (locale.language()) {
    case QLocale::C:
    case QLocale::AnyLanguage:
        return std::nullopt;
    case QLocale::English:
        return QString();
    case QLocale::Chinese:
        // QLocale gives Hong Kong, Macau and Taiwan the Traditional script.
        return locale.script() == QLocale::TraditionalChineseScript ? QStringLiteral("zh_TW")
                                                                    : QStringLiteral("zh_CN");
    default:
        break;
    }
    const QString language = locale.name().section(QLatin1Char('_'), 0, 0);
    if (shipped().contains(language))
        return language;
    return std::nullopt;
}

struct Installed {
    QPointer<QTranslator> own;
    QPointer<QTranslator> qt;
    QString catalogue;
    bool applied = false;
};

Installed &installed()
{
    static Installed state;
    return state;
}

} // namespace

QString language::catalogueFor(const QString &tag, const QStringList &desktopLanguages)
{
    if (const std::optional<QString> chosen = catalogueOf(tag))
        return *chosen;
    for (const QString &desktop : desktopLanguages) {
        if (const std::optional<QString> chosen = catalogueOf(desktop))
            return *chosen;
    }
    return QString();
}

QStringList language::shippedCatalogues()
{
    return shipped();
}

QString language::apply(const QString &tag)
{
    Installed &state = installed();
    const QStringList desktop = QLocale::system().uiLanguages();
    const QString chosen = catalogueFor(tag, desktop);
    if (state.applied && chosen == state.catalogue)
        return chosen;
    state.applied = true;
    state.catalogue = chosen;
    // A dialog of the desktop's own speaks the desktop's language; where the
    // host chose another, Qt's dialogs, which follow this choice, stand in.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, chosen != catalogueFor(QString(), desktop));

    // Removing and installing each send LanguageChange; the last one finds
    // both catalogues in place.
    for (QTranslator *translator : {state.own.data(), state.qt.data()}) {
        if (translator) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
    if (chosen.isEmpty()) {
        qCDebug(zuvoText) << "language: English";
        return chosen;
    }

    initTranslationResource();
    auto *qt = new QTranslator(QCoreApplication::instance());
    // Qt's own texts, for the dialogs; missing only where Qt's translations
    // are not installed, and then the dialogs stay English.
    if (qt->load(QStringLiteral("qtbase_") + chosen, qtcompat::translationsPath())) {
        QCoreApplication::installTranslator(qt);
        state.qt = qt;
    } else {
        qCWarning(zuvoText) << "no Qt catalogue for" << chosen << "in" << qtcompat::translationsPath();
        delete qt;
    }
    auto *own = new QTranslator(QCoreApplication::instance());
    if (own->load(QStringLiteral(":/i18n/zuvo_") + chosen)) {
        QCoreApplication::installTranslator(own);
        state.own = own;
    } else {
        qCWarning(zuvoText) << "the catalogue for" << chosen << "is missing";
        delete own;
    }
    qCDebug(zuvoText) << "language:" << chosen;
    return chosen;
}

QString language::current()
{
    return installed().catalogue;
}
