#include "accessibility.h"

#include "button.h"
#include "downloadfile/downloadfileaccessible.h"
#include "downloadfile/downloadfiletree.h"
#include "findbar.h"
#include "zoomlabel.h"
#include "zuvochatwebbroswer.h"
#include "zuvochatwebbroswer_private.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// Title-bar, find-bar and box buttons: push buttons that press as a click.
class ButtonAccessible : public QAccessibleWidget
{
public:
    explicit ButtonAccessible(Button *button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        if (t != QAccessible::Name || !own.isEmpty())
            return own;
        const auto *text = qobject_cast<const TextButton *>(widget());
        return text ? text->text() : own;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const int bits = button()->getState();
        s.pressed = bits & Button::StateDown;
        // Marked disabled, as the logo is: it answers nothing when pressed.
        s.disabled = bits & Button::StateDisabled;
        return s;
    }

    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &name) override
    {
        if (name != pressAction()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        // After the bus has its answer: a receiver may open a dialog with an
        // event loop of its own, or delete the button.
        QMetaObject::invokeMethod(button(), &Button::click, Qt::QueuedConnection);
    }

private:
    Button *button() const { return static_cast<Button *>(widget()); }
};

// A message to acknowledge is an alert; a question with two answers a dialog.
// Either is named by its text, so a screen reader says what it is about.
class BoxAccessible : public QAccessibleWidget
{
public:
    explicit BoxAccessible(InformBox *box)
        : QAccessibleWidget(box, QAccessible::Dialog)
    {
    }

    QAccessible::Role role() const override
    {
        return box()->asks() ? QAccessible::Dialog : QAccessible::AlertMessage;
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? box()->information() : QAccessibleWidget::text(t);
    }

private:
    InformBox *box() const { return static_cast<InformBox *>(widget()); }
};

template <typename Widget>
bool is(const QString &className)
{
    return className == QLatin1String(Widget::staticMetaObject.className());
}

// Qt asks for every object it reports on, once per class it descends from,
// most derived first. The name decides before the object is touched: some
// are other libraries' widgets whose type cannot be checked from here (Qt
// WebKit's select list), and the sanitizer build stops on such a check.
QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (!object)
        return nullptr;
    if (is<Button>(className))
        return new ButtonAccessible(static_cast<Button *>(object));
    if (is<InformBox>(className))
        return new BoxAccessible(static_cast<InformBox *>(object));
    if (is<ZoomLabel>(className))
        return new QAccessibleWidget(static_cast<ZoomLabel *>(object), QAccessible::StaticText);
    if (is<FindBar>(className))
        return new QAccessibleWidget(static_cast<FindBar *>(object), QAccessible::ToolBar);
    if (is<TreeView>(className))
        return downloadfileaccessible::listInterface(static_cast<TreeView *>(object));
    // Named by its title, as a frame: a plain widget would be a nameless filler.
    if (is<ZuvoChatWebBroswer>(className))
        return new QAccessibleWidget(static_cast<ZuvoChatWebBroswer *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void accessibility::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed)
}
