#include "webcontent.h"

#include "zuvolog.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <iterator>

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
    return QStringLiteral("<!doctype html><html><head><meta charset=\"utf-8\"><title>Not shown: %1</title>"
                          "<style>body{font-family:sans-serif;margin:48px;color:#333}h1{font-size:20px}</style>"
                          "</head><body><h1>This page is not shown</h1>"
                          "<p>The certificate of <b>%1</b> could not be verified: %2.</p>"
                          "<p>Someone may be pretending to be this site.</p></body></html>")
        .arg(host.toHtmlEscaped(), reason.toHtmlEscaped());
}
