#pragma once

#include <QObject>
#include <QPointer>

class HelperProcess;
class QColorDialog;
class QFileDialog;
class QMenu;
class QWidget;

namespace helpermessages {
struct Message;
}

// The page's popups that ask for a choice, on the browser's own widgets: a
// select list as a menu at the field, the colour and file choosers. GTK's
// would be windows of the helper with a pointer grab of their own.
class PagePopups : public QObject
{
    Q_OBJECT

public:
    PagePopups(QWidget *view, HelperProcess *helper);

    // Whether the message was one of the popups'.
    bool handle(const helpermessages::Message &message);

    QMenu *optionMenu() const;

private:
    void showOptionMenu(const helpermessages::Message &message);
    void dropOptionMenu();
    void chooseColor(const QString &current);
    void chooseFiles(bool several);

    QWidget *_view;
    HelperProcess *_helper;
    QPointer<QMenu> _optionMenu;
};
