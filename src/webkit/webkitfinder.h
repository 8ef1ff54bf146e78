#pragma once

#include "webcontent.h"

#include <QObject>
#include <QString>
#include <QTimer>

class QWebPage;

// Find in page on WebKit, which highlights and selects but does not count:
// the count is the page's own search run match by match, so it agrees with
// what next and previous step through. That costs a few times what
// highlighting does, so while the text keeps changing only the highlighting
// and the first match follow it, and the count waits for typing to pause.
class WebKitFinder : public QObject
{
    Q_OBJECT

public:
    WebKitFinder(QWebPage *page, QObject *parent);

    void find(const QString &text, WebContent::FindStep step);
    void stop();

signals:
    void result(int current, int total);

private:
    void restart(const QString &text);
    void countNow();
    void step(bool forward);
    void clearPage();

    QWebPage *_page;
    QString _text;
    int _matches = 0;
    int _current = 0;
    QTimer _countWhenIdle;
};
