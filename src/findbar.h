#pragma once

#include "button.h"
#include "webcontent.h"

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QWidget>

class QEvent;
class QPaintEvent;
class QResizeEvent;
class WebContent;

// The slim bar over the top of the page that finds text in it: a field, the
// "3 of 12" count, previous and next, and a close button. Every match is
// highlighted; the current one is the page's selection. The page's engine
// finds and counts, and may answer later; its parent places the bar.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    FindBar(QWidget *parent, WebContent *page);

    static int barHeight();
    // Counting stops here, so a page full of one letter stays responsive.
    static constexpr int maxCounted = 1000;
    static_assert(maxCounted == WebContent::maxCountedMatches, "the bar shows what the engine counts");

    // Shows the bar with its field focused and searches again for its text.
    void open();
    // Hides the bar and takes the highlighting and selection off the page.
    void closeBar();

    int matchCount() const { return _matches; }
    int currentMatch() const { return _current; }
    QString countText() const { return _count.text(); }

public slots:
    void findNext();
    void findPrevious();

signals:
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void changeEvent(QEvent *event) override;

private:
    void search();
    void step(bool forward);
    void onResult(int current, int total);
    void showCount();
    // Accessible names and tool tips, in the language in force.
    void applyTexts();

    WebContent *_page;
    QLineEdit _field;
    QLabel _count;
    TextButton _previous;
    TextButton _next;
    TextButton _close;
    int _matches = 0;
    int _current = 0;
};
