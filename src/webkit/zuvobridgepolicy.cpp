#include "zuvobridgepolicy.h"

#include <QWebFrame>
#include <QWebPage>

ZuvoBridgeOriginPolicy::ZuvoBridgeOriginPolicy(QWebPage *page, QObject *bridge,
                                               const QString &name, QObject *parent)
    : QObject(parent)
    , _page(page)
    , _bridge(bridge)
    , _name(name)
{
    QWebFrame *frame = page->mainFrame();
    connect(frame, &QWebFrame::javaScriptWindowObjectCleared,
            this, &ZuvoBridgeOriginPolicy::onWindowObjectCleared);
    // A document that runs no script announces no window object, so the end
    // of a load settles where the requested address led as well. A load that
    // failed is skipped: the previous load, cancelled by the host's new
    // address, would otherwise settle it too early.
    connect(frame, &QWebFrame::loadFinished, this, [this](bool ok) {
        if (ok)
            settleFinalAddress();
    });
}

QWebFrame *ZuvoBridgeOriginPolicy::mainFrame() const
{
    return _page ? _page->mainFrame() : nullptr;
}

void ZuvoBridgeOriginPolicy::allowOrigin(const QUrl &requested)
{
    _origins.allow(requested);
    offerToCurrentDocument();
}

void ZuvoBridgeOriginPolicy::settleFinalAddress()
{
    if (QWebFrame *frame = mainFrame())
        _origins.settle(frame->requestedUrl(), frame->url());
}

void ZuvoBridgeOriginPolicy::onWindowObjectCleared()
{
    settleFinalAddress();
    offerToCurrentDocument();
}

void ZuvoBridgeOriginPolicy::offerToCurrentDocument()
{
    QWebFrame *frame = mainFrame();
    if (!frame || !_bridge || !_origins.isAllowed(frame->url()))
        return;
    frame->addToJavaScriptWindowObject(_name, _bridge);
}
