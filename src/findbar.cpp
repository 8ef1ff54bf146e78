#include "findbar.h"

#include "overlaystyle.h"
#include "zuvochatwbconfigure.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWebPage>

namespace {

int scaled(int value)
{
    return ZuvoChatWBConfigure::convertScale(value);
}

} // namespace

FindBar::FindBar(QWidget *parent, QWebPage *page)
    : QWidget(parent, Qt::WindowFlags())
    , _page(page)
    , _field(this)
    , _count(this)
    // Open Sans has these three, not arrows; enlarged, as small glyphs are
    // hard to hit.
    , _previous(this, QStringLiteral("\u2039"), enlargedStoreFont(), Qt::white)
    , _next(this, QStringLiteral("\u203A"), enlargedStoreFont(), Qt::white)
    , _close(this, QStringLiteral("\u00D7"), enlargedStoreFont(), Qt::white)
{
    setObjectName(QStringLiteral("findBar"));
    setAccessibleName(QStringLiteral("Find in page"));

    _field.setObjectName(QStringLiteral("findField"));
    _field.setAccessibleName(QStringLiteral("Find in page"));
    _field.setFont(ZuvoChatWBConfigure::font());
    _field.installEventFilter(this);
    connect(&_field, &QLineEdit::textChanged, this, &FindBar::search);

    _count.setObjectName(QStringLiteral("findCount"));
    _count.setAccessibleName(QStringLiteral("Matches"));
    _count.setFont(ZuvoChatWBConfigure::font());
    QPalette palette = _count.palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    _count.setPalette(palette);

    setUpButton(_previous, "findPrevious", QStringLiteral("Previous match"));
    setUpButton(_next, "findNext", QStringLiteral("Next match"));
    setUpButton(_close, "findClose", QStringLiteral("Close find bar"));
    connect(&_previous, &Button::clicked, this, &FindBar::findPrevious);
    connect(&_next, &Button::clicked, this, &FindBar::findNext);
    connect(&_close, &Button::clicked, this, &FindBar::closeBar);

    resize(width(), barHeight());
    hide();
}

void FindBar::setUpButton(TextButton &button, const char *name, const QString &accessibleName)
{
    button.setObjectName(QLatin1String(name));
    button.setAccessibleName(accessibleName);
}

int FindBar::barHeight()
{
    return scaled(34);
}

void FindBar::open()
{
    const bool wasHidden = isHidden();
    show();
    _field.setFocus(Qt::ShortcutFocusReason);
    _field.selectAll();
    if (wasHidden)
        search();
}

void FindBar::closeBar()
{
    if (isHidden())
        return;
    clearPage();
    _matches = 0;
    _current = 0;
    hide();
    emit closed();
}

void FindBar::clearPage()
{
    _page->findText(QString(), QWebPage::HighlightAllOccurrences);
    // An empty search takes the selection off the page.
    _page->findText(QString());
}

void FindBar::search()
{
    const QString text = _field.text();
    clearPage();
    _matches = text.isEmpty() ? 0 : countMatches(text);
    _current = 0;
    if (_matches > 0) {
        _page->findText(text, QWebPage::HighlightAllOccurrences);
        _page->findText(text, QWebPage::FindWrapsAroundDocument);
        _current = 1;
    }
    showCount();
}

int FindBar::countMatches(const QString &text) const
{
    // The page's own search counts, so the count agrees with what next and
    // previous step through and with what is highlighted. Each search starts
    // after the previous match; without wrapping it ends at the last one.
    // One past the limit tells "exactly the limit" from "more".
    int matches = 0;
    while (matches <= maxCounted && _page->findText(text))
        ++matches;
    _page->findText(QString());
    return matches;
}

void FindBar::findNext()
{
    step(true);
}

void FindBar::findPrevious()
{
    step(false);
}

void FindBar::step(bool forward)
{
    if (_matches == 0)
        return;
    const QString text = _field.text();
    const QWebPage::FindFlags backward = forward ? QWebPage::FindFlags() : QWebPage::FindBackward;
    // A click in the page moves the selection off the current match, so the
    // place in the count is lost: start again from the document's edge.
    const bool onMatch = _page->selectedText().compare(text, Qt::CaseInsensitive) == 0;
    if (onMatch && _page->findText(text, backward)) {
        _current = qBound(1, _current + (forward ? 1 : -1), _matches);
    } else {
        // Past the last match (or before the first): wrap around.
        _page->findText(QString());
        if (!_page->findText(text, backward))
            return;
        _current = forward ? 1 : _matches;
    }
    showCount();
}

void FindBar::showCount()
{
    if (_field.text().isEmpty()) {
        _count.clear();
    } else {
        // Past the limit the place in the count is not known either.
        _count.setText(_matches > maxCounted ? QStringLiteral("%1+ matches").arg(maxCounted)
                                             : QStringLiteral("%1 of %2").arg(_current).arg(_matches));
    }
    _count.adjustSize();
    resizeEvent(nullptr);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &_field && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            step(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::resizeEvent(QResizeEvent *)
{
    const int margin = scaled(8);
    const int gap = scaled(6);
    const int h = height();
    const auto centreY = [h](const QWidget &child) { return (h - child.height()) / 2; };

    _field.resize(scaled(220), qMin(_field.sizeHint().height(), h - 2 * scaled(3)));
    _field.move(margin, centreY(_field));
    int x = margin + _field.width() + gap;
    _previous.move(x, centreY(_previous));
    x += _previous.width();
    _next.move(x, centreY(_next));
    x += _next.width() + gap;
    _count.move(x, centreY(_count));
    _close.move(width() - margin - _close.width(), centreY(_close));
}

void FindBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), ZuvoChatWBConfigure::TitleBG());
    // A rule between the bar and the page it covers.
    painter.fillRect(QRect(0, height() - 1, width(), 1), ZuvoChatWBConfigure::ShadowColor());
}
