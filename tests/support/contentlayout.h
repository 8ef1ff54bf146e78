#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

class ZuvoChatWebBroswer_impl;

// The browser's content widget built in this process from the same
// configuration store, at the size the browser window has on screen, so that
// clicks land where the browser itself laid its children out. The widget is
// never mapped. Rectangles are in the window's client coordinates: the
// content widget sits one pixel inside the client area.
class ContentLayout
{
public:
    explicit ContentLayout(const QSize &clientSize);
    ~ContentLayout();

    static QPoint contentOffset() { return QPoint(1, 1); }

    int titleHeight() const;
    // Hidden children give an empty rectangle.
    QRect rectOf(const char *objectName) const;
    QPoint centreOf(const char *objectName) const;
    // A spot of the bare title bar, right of the last visible button and
    // clear of the resize zones, where a press grabs the window.
    QPoint emptyTitleBarSpot() const;
    // Inside the right edge's resize zone, halfway down the title bar.
    QPoint rightEdgeSpot() const;
    // Inside the bottom-left corner's resize zone, below the page.
    QPoint bottomLeftCornerSpot() const;

    // Where the title bar names the host of an untrusted page.
    QRect originLabelRect() const;

    // The message box the browser shows for this text, and its button.
    QRect messageBoxRect(const QString &text) const;
    QRect messageBoxButtonRect(const QString &text) const;

private:
    QRect boxChildRect(const QString &text, bool wholeBox) const;

    std::unique_ptr<ZuvoChatWebBroswer_impl> _content;
};
