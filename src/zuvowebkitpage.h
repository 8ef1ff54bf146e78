#pragma once

#include <QWebPage>

// The page the browser window installs in its view. Pages run with scripts,
// images and local storage, but never with browser plug-ins or Java: neither
// is needed by the host's pages and both would widen what a page can reach.
class ZuvoWebKitPage : public QWebPage
{
    Q_OBJECT

public:
    explicit ZuvoWebKitPage(QObject *parent);
};
