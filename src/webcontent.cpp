#include "webcontent.h"

#include "language.h"
#include "zuvolog.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {
const int maxSavedAddresses = 30;

struct FirstPage {
    QPointer<WebContent> prepared;
    bool windowHadContent = false;
};

FirstPage &firstPage()
{
    static FirstPage firstPage;
    return firstPage;
}

const int zoomSteps[] = {25, 33, 50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400, 500};
}

int WebContent::zoomStep(int percent, int direction)
{
    if (direction > 0) {
        const int *above = std::upper_bound(std::begin(zoomSteps), std::end(zoomSteps), percent);
        return above == std::end(zoomSteps) ? percent : *above;
    }
    const int *atOrAbove = std::lower_bound(std::begin(zoomSteps), std::end(zoomSteps), percent);
    return atOrAbove == std::begin(zoomSteps) ? percent : *(atOrAbove - 1);
}

void SteppedZoomContent::zoomBy(int steps)
{
    int percent = _zoomPercent;
    for (; steps > 0; --steps)
        percent = zoomStep(percent, 1);
    for (; steps < 0; ++steps)
        percent = zoomStep(percent, -1);
    setZoomPercent(percent);
}

void SteppedZoomContent::setZoomPercent(int percent)
{
    if (percent == _zoomPercent)
        return;
    _zoomPercent = percent;
    applyZoom();
    emit zoomChanged(percent);
}

void WebContent::prepareFirstPage()
{
    FirstPage &first = firstPage();
    if (first.prepared || first.windowHadContent)
        return;
    first.prepared = prepare();
}

WebContent *WebContent::createForWindow(QWidget *parent, ZuvoJsBridge *bridge)
{
    FirstPage &first = firstPage();
    first.windowHadContent = true;
    if (WebContent *content = first.prepared.data()) {
        first.prepared.clear();
        content->adopt(parent, bridge);
        return content;
    }
    return create(parent, bridge);
}

void WebContent::discardPrepared()
{
    delete firstPage().prepared.data();
}

void WebContent::adopt(QWidget *parent, ZuvoJsBridge *)
{
    setParent(parent);
    view()->setParent(parent);
    view()->show();
}

bool WebContent::devToolsEnabled()
{
    // Read once: the tools are a decision made when the process starts.
    static const bool enabled = qgetenv("ZUVO_DEVTOOLS") == "1";
    return enabled;
}

void WebContent::saveAddresses(QQueue<QUrl> &saved, const QList<QUrl> &currentBackToFirst)
{
    for (const QUrl &address : currentBackToFirst) {
        saved.enqueue(address);
        if (saved.size() > maxSavedAddresses)
            saved.dequeue();
    }
}

void WebContent::closePageDialogs()
{
    // Rejecting one ends its event loop once control returns there.
    for (QDialog *dialog : view()->findChildren<QDialog *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (dialog->isVisible())
            dialog->reject();
    }
}

QString WebContent::certificateRefusalPage(const QString &host, const QString &reason)
{
    // The translated sentences are text, the host name set in bold inside one.
    const QString lang = language::current().isEmpty() ? QStringLiteral("en")
                                                       : language::current().replace(QLatin1Char('_'), QLatin1Char('-'));
    return QStringLiteral("<!doctype html><html lang=\"%1\"><head><meta charset=\"utf-8\"><title>%2</title>"
                          "<style>body{font-family:sans-serif;margin:48px;color:#333}h1{font-size:20px}</style>"
                          "</head><body><h1>%3</h1><p>%4</p><p>%5</p></body></html>")
        .arg(lang, tr("Not shown: %1").arg(host).toHtmlEscaped(), tr("This page is not shown").toHtmlEscaped(),
             //: %1 the site's host name, %2 why, from the list of reasons below
             tr("The certificate of %1 could not be verified: %2.")
                 .toHtmlEscaped()
                 .arg(QStringLiteral("<b>") + host.toHtmlEscaped() + QStringLiteral("</b>"), reason.toHtmlEscaped()),
             tr("Someone may be pretending to be this site.").toHtmlEscaped());
}

QString WebContent::certificateProblemText(const QStringList &problems)
{
    // The names the WebKitGTK helper gives the checks a certificate failed.
    static const std::pair<const char *, const char *> known[] = {
        {"unknownAuthority", QT_TR_NOOP("it is not signed by an authority this system trusts")},
        {"otherSite", QT_TR_NOOP("it is made out to another site")},
        {"notYetValid", QT_TR_NOOP("it is not valid yet")},
        {"expired", QT_TR_NOOP("it has expired")},
        {"revoked", QT_TR_NOOP("it has been revoked")},
        {"insecure", QT_TR_NOOP("its algorithm is insecure")},
    };
    QStringList texts;
    for (const auto &[name, text] : known) {
        if (problems.contains(QLatin1String(name)))
            texts << tr(text);
    }
    //: Between two reasons a certificate failed
    const QString separator = tr("; ");
    return texts.isEmpty() ? tr("it failed verification") : texts.join(separator);
}

QString WebContent::devToolsTitle()
{
    return tr("Developer tools");
}

QString WebContent::pageDialogTitle(PageDialog kind, const QString &host)
{
    switch (kind) {
    case PageDialog::Confirm:
        return tr("JavaScript Confirm - %1").arg(host);
    case PageDialog::Prompt:
        return tr("JavaScript Prompt - %1").arg(host);
    case PageDialog::Alert:
        break;
    }
    return tr("JavaScript Alert - %1").arg(host);
}
