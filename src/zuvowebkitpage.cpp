#include "zuvowebkitpage.h"

#include <QWebSettings>

ZuvoWebKitPage::ZuvoWebKitPage(QObject *parent)
    : QWebPage(parent)
{
    QWebSettings *pageSettings = settings();
    pageSettings->setAttribute(QWebSettings::PluginsEnabled, false);
    pageSettings->setAttribute(QWebSettings::JavaEnabled, false);
}
