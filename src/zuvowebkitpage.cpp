#include "zuvowebkitpage.h"

#include "webcontent.h"
#include "zuvowebkitnetworkmanager.h"

#include <QWebSettings>

ZuvoWebKitPage::ZuvoWebKitPage(QObject *parent)
    : QWebPage(parent)
{
    QWebSettings *pageSettings = settings();
    pageSettings->setAttribute(QWebSettings::PluginsEnabled, false);
    pageSettings->setAttribute(QWebSettings::JavaEnabled, false);
}

bool ZuvoWebKitPage::supportsExtension(Extension extension) const
{
    return extension == ErrorPageExtension;
}

bool ZuvoWebKitPage::extension(Extension extension, const ExtensionOption *option, ExtensionReturn *output)
{
    if (extension != ErrorPageExtension || !option || !output)
        return false;
    const auto *failure = static_cast<const ErrorPageExtensionOption *>(option);
    const auto *network = qobject_cast<ZuvoWebKitNetworkManager *>(networkAccessManager());
    const QString reason = network ? network->certificateRefusal(failure->url) : QString();
    // Every other failure shows what it always showed.
    if (reason.isEmpty())
        return false;
    auto *page = static_cast<ErrorPageExtensionReturn *>(output);
    page->content = WebContent::certificateRefusalPage(failure->url.host(), reason).toUtf8();
    page->contentType = QStringLiteral("text/html");
    page->encoding = QStringLiteral("UTF-8");
    page->baseUrl = failure->url;
    return true;
}
