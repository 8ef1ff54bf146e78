#pragma once

#include "zoomwheel.h"

#include <QWebEngineView>

class QContextMenuEvent;

// The view of the WebEngine page. The page draws into a child widget that
// gets the input, so Ctrl+wheel is taken from there for the window's own
// zoom steps; the right-click menu is the window's, never the engine's.
class ZuvoWebEngineView : public QWebEngineView
{
    Q_OBJECT

public:
    explicit ZuvoWebEngineView(QWidget *parent);

    // Supplied by the content: what "back" and "Inspect" do, and whether
    // there is somewhere to go back to.
    std::function<bool()> canGoBack;
    std::function<void()> goBack;
    std::function<void()> inspect;

signals:
    void zoomSteps(int steps);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ZoomWheel _wheel;
};
