#include "pagemenu.h"

#include "zuvolog.h"

#include <QCoreApplication>
#include <QMenu>
#include <QWindow>

QMenu *pagemenu::build(const Target &target, const Actions &actions, const QWidget *view)
{
    auto *menu = new QMenu;
    const auto add = [menu](bool applies, const char *text, const std::function<void()> &action) {
        if (applies && action)
            QObject::connect(menu->addAction(QCoreApplication::translate("PageMenu", text)), &QAction::triggered,
                             menu, action);
    };
    add(target.link.isValid(), QT_TRANSLATE_NOOP("PageMenu", "Copy link address"), actions.copyLink);
    add(target.hasSelection, QT_TRANSLATE_NOOP("PageMenu", "Copy"), actions.copy);
    add(target.isImage, QT_TRANSLATE_NOOP("PageMenu", "Copy image"), actions.copyImage);
    //: Go back to the previous page
    add(target.canGoBack, QT_TRANSLATE_NOOP("PageMenu", "back"), actions.back);
    if (actions.inspect) {
        if (!menu->isEmpty())
            menu->addSeparator();
        add(true, QT_TRANSLATE_NOOP("PageMenu", "Inspect"), actions.inspect);
    }
    if (menu->isEmpty()) {
        delete menu;
        return nullptr;
    }
    if (zuvoText().isDebugEnabled()) {
        QStringList entries;
        for (const QAction *action : menu->actions()) {
            if (!action->isSeparator())
                entries << action->text();
        }
        qCDebug(zuvoText).noquote() << "page menu:" << entries.join(QStringLiteral(" | "));
    }
    QObject::connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    // Only the native window learns its parent: a parent widget would also
    // hand the menu the view's look.
    menu->createWinId();
    menu->windowHandle()->setTransientParent(view->window()->windowHandle());
    return menu;
}
