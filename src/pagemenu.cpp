#include "pagemenu.h"

#include <QMenu>
#include <QWindow>

QMenu *pagemenu::build(const Target &target, const Actions &actions, const QWidget *view)
{
    auto *menu = new QMenu;
    const auto add = [menu](bool applies, const char *text, const std::function<void()> &action) {
        if (applies && action)
            QObject::connect(menu->addAction(QLatin1String(text)), &QAction::triggered, menu, action);
    };
    add(target.link.isValid(), "Copy link address", actions.copyLink);
    add(target.hasSelection, "Copy", actions.copy);
    add(target.isImage, "Copy image", actions.copyImage);
    add(target.canGoBack, "back", actions.back);
    if (actions.inspect) {
        if (!menu->isEmpty())
            menu->addSeparator();
        add(true, "Inspect", actions.inspect);
    }
    if (menu->isEmpty()) {
        delete menu;
        return nullptr;
    }
    QObject::connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    // Only the native window learns its parent: a parent widget would also
    // hand the menu the view's look.
    menu->createWinId();
    menu->windowHandle()->setTransientParent(view->window()->windowHandle());
    return menu;
}
