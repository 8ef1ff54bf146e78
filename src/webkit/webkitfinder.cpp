#include "webkitfinder.h"

#include <QWebPage>

namespace {
// Longer than the gap between two keys of someone typing, short enough that
// the count seems to come with the last one.
constexpr int typingPauseMs = 150;
} // namespace

WebKitFinder::WebKitFinder(QWebPage *page, QObject *parent)
    : QObject(parent)
    , _page(page)
{
    _countWhenIdle.setSingleShot(true);
    _countWhenIdle.setInterval(typingPauseMs);
    connect(&_countWhenIdle, &QTimer::timeout, this, &WebKitFinder::countNow);
}

void WebKitFinder::find(const QString &text, WebContent::FindStep step)
{
    switch (step) {
    case WebContent::FindStep::Restart:
        restart(text);
        break;
    case WebContent::FindStep::Next:
    case WebContent::FindStep::Previous:
        if (text != _text)
            restart(text);
        this->step(step == WebContent::FindStep::Next);
        break;
    }
}

void WebKitFinder::stop()
{
    _countWhenIdle.stop();
    clearPage();
    _text.clear();
    _matches = 0;
    _current = 0;
}

void WebKitFinder::clearPage()
{
    _page->findText(QString(), QWebPage::HighlightAllOccurrences);
    // An empty search takes the selection off the page.
    _page->findText(QString());
}

void WebKitFinder::restart(const QString &text)
{
    _countWhenIdle.stop();
    clearPage();
    _text = text;
    _matches = 0;
    _current = 0;
    if (!text.isEmpty() && _page->findText(text, QWebPage::FindWrapsAroundDocument)) {
        _page->findText(text, QWebPage::HighlightAllOccurrences);
        _current = 1;
        _countWhenIdle.start();
        return;
    }
    emit result(0, 0);
}

void WebKitFinder::countNow()
{
    _countWhenIdle.stop();
    // Each search starts after the previous match; without wrapping it ends
    // at the last one. One past the limit tells "exactly the limit" from "more".
    _page->findText(QString());
    int matches = 0;
    while (matches <= WebContent::maxCountedMatches && _page->findText(_text))
        ++matches;
    // Back to the first match, where the count says the user is.
    _page->findText(QString());
    _page->findText(_text, QWebPage::FindWrapsAroundDocument);
    _matches = matches;
    _current = matches > 0 ? 1 : 0;
    emit result(_current, _matches);
}

void WebKitFinder::step(bool forward)
{
    if (_countWhenIdle.isActive())
        countNow();
    if (_matches == 0)
        return;
    const QWebPage::FindFlags backward = forward ? QWebPage::FindFlags() : QWebPage::FindBackward;
    // A click in the page moves the selection off the current match, so the
    // place in the count is lost: start again from the document's edge.
    const bool onMatch = _page->selectedText().compare(_text, Qt::CaseInsensitive) == 0;
    if (onMatch && _page->findText(_text, backward)) {
        _current = qBound(1, _current + (forward ? 1 : -1), _matches);
    } else {
        // Past the last match (or before the first): wrap around.
        _page->findText(QString());
        if (!_page->findText(_text, backward))
            return;
        _current = forward ? 1 : _matches;
    }
    emit result(_current, _matches);
}
