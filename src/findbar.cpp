#include "findbar.h"

#include "overlaystyle.h"
#include "zuvolog.h"
#include "zuvochatwbconfigure.h"

#include <QKeyEvent>
#include <QPainter>

namespace {

int scaled(int value)
{
    return ZuvoChatWBConfigure::convertScale(value);
}

} // namespace

FindBar::FindBar(QWidget *parent, WebContent *page)
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

    _field.setObjectName(QStringLiteral("findField"));
    _field.setFont(ZuvoChatWBConfigure::font());
    _field.installEventFilter(this);
    connect(&_field, &QLineEdit::textChanged, this, &FindBar::search);
    connect(_page, &WebContent::findResult, this, &FindBar::onResult);

    _count.setObjectName(QStringLiteral("findCount"));
    _count.setFont(ZuvoChatWBConfigure::font());
    QPalette palette = _count.palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    _count.setPalette(palette);

    _previous.setObjectName(QStringLiteral("findPrevious"));
    _next.setObjectName(QStringLiteral("findNext"));
    _close.setObjectName(QStringLiteral("findClose"));
    applyTexts();
    connect(&_previous, &Button::clicked, this, &FindBar::findPrevious);
    connect(&_next, &Button::clicked, this, &FindBar::findNext);
    connect(&_close, &Button::clicked, this, &FindBar::closeBar);

    resize(width(), barHeight());
    hide();
}

void FindBar::applyTexts()
{
    setAccessibleName(tr("Find in page"));
    _field.setAccessibleName(tr("Find in page"));
    // Named by what it shows, "3 of 12"; this says what that is.
    _count.setAccessibleDescription(tr("Matches"));
    _previous.setAccessibleName(tr("Previous match"));
    _next.setAccessibleName(tr("Next match"));
    _close.setAccessibleName(tr("Close find bar"));
}

void FindBar::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        applyTexts();
        if (!_count.text().isEmpty())
            showCount();
    }
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
    _page->stopFinding();
    _matches = 0;
    _current = 0;
    hide();
    emit closed();
}

void FindBar::search()
{
    // Until the engine answers, the count of the previous text would mislead.
    _matches = 0;
    _current = 0;
    _count.clear();
    _page->find(_field.text(), WebContent::FindStep::Restart);
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
    if (_field.text().isEmpty())
        return;
    _page->find(_field.text(), forward ? WebContent::FindStep::Next : WebContent::FindStep::Previous);
}

void FindBar::onResult(int current, int total)
{
    if (isHidden())
        return;
    _current = current;
    _matches = total;
    showCount();
}

void FindBar::showCount()
{
    if (_field.text().isEmpty()) {
        _count.clear();
    } else {
        // Past the limit the place in the count is not known either.
        _count.setText(_matches > maxCounted ? tr("%1+ matches").arg(maxCounted)
                                             //: The current match, of all matches in the page
                                             : tr("%1 of %2").arg(_current).arg(_matches));
        qCDebug(zuvoText).noquote() << "find bar:" << _count.text();
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

    // The field gives up width before a longer count in another language
    // runs under the close button.
    const int besideField = margin + gap + _previous.width() + _next.width() + gap + _count.width() + gap
                            + _close.width() + margin;
    const int fieldWidth = qBound(scaled(80), width() - besideField, scaled(220));
    _field.resize(fieldWidth, qMin(_field.sizeHint().height(), h - 2 * scaled(3)));
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
