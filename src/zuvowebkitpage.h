#pragma once

#include <QWebPage>

// The page the browser window installs in its view. Pages run with scripts,
// images and local storage, but never with browser plug-ins or Java: neither
// is needed by the host's pages and both would widen what a page can reach.
// A document whose certificate the host's rule refused is replaced by a page
// that says so. The page's own alert, confirm and prompt carry the titles
// the other engines give them, in the window's language.
class ZuvoWebKitPage : public QWebPage
{
    Q_OBJECT

public:
    explicit ZuvoWebKitPage(QObject *parent);

    bool supportsExtension(Extension extension) const override;
    bool extension(Extension extension, const ExtensionOption *option, ExtensionReturn *output) override;

protected:
    void javaScriptAlert(QWebFrame *frame, const QString &msg) override;
    bool javaScriptConfirm(QWebFrame *frame, const QString &msg) override;
    bool javaScriptPrompt(QWebFrame *frame, const QString &msg, const QString &defaultValue, QString *result) override;
};
