#include "pagepopups.h"

#include "helperprocess.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMenu>

namespace msg = helpermessages;

namespace {

// Group members stand indented under their group's label, as in a page's
// own list.
QString optionLabel(const std::string &item)
{
    const QString label = QString::fromStdString(item.size() > 2 ? item.substr(2) : std::string());
    return item.size() > 1 && item[1] == msg::OptionItem::inGroup ? QStringLiteral("    ") + label : label;
}

} // namespace

PagePopups::PagePopups(QWidget *view, HelperProcess *helper)
    : QObject(view)
    , _view(view)
    , _helper(helper)
{
}

bool PagePopups::handle(const msg::Message &message)
{
    namespace in = msg::toBrowser;
    const std::string &name = message.name;
    if (name == in::optionMenu)
        showOptionMenu(message);
    else if (name == in::closeOptionMenu)
        dropOptionMenu();
    else if (name == in::colorChooser)
        chooseColor(messageField(message, 0));
    else if (name == in::fileChooser)
        chooseFiles(message.field(0) == "1");
    else
        return false;
    return true;
}

void PagePopups::showOptionMenu(const msg::Message &message)
{
    dropOptionMenu();
    const QRect field(messageField(message, 0).toInt(), messageField(message, 1).toInt(),
                      messageField(message, 2).toInt(), messageField(message, 3).toInt());
    auto *menu = new QMenu(_view);
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    menu->setMinimumWidth(field.width());
    QAction *selected = nullptr;
    for (size_t index = 4; index < message.fields.size(); ++index) {
        const std::string &item = message.field(index);
        const char state = item.empty() ? msg::OptionItem::disabled : item[0];
        QAction *action = menu->addAction(optionLabel(item));
        action->setEnabled(state != msg::OptionItem::groupLabel && state != msg::OptionItem::disabled);
        if (state == msg::OptionItem::groupLabel) {
            QFont bold = action->font();
            bold.setBold(true);
            action->setFont(bold);
        }
        if (state == msg::OptionItem::selected) {
            action->setCheckable(true);
            action->setChecked(true);
            selected = action;
        }
        const QString chosen = QString::number(index - 4);
        connect(action, &QAction::triggered, this, [this, chosen] { _helper->send(msg::toHelper::chooseOption, {chosen}); });
    }
    // Closed without a choice, the page's list closes too. The choice, if
    // any, is sent before the menu is gone; a close again is then ignored.
    connect(menu, &QObject::destroyed, _helper, [helper = _helper] { helper->send(msg::toHelper::chooseOption, {QString()}); });
    _optionMenu = menu;
    // Under the field, where the other engines open theirs; the keys go on
    // from the chosen item.
    menu->popup(_view->mapToGlobal(field.bottomLeft() + QPoint(0, 1)));
    if (selected)
        menu->setActiveAction(selected);
}

void PagePopups::dropOptionMenu()
{
    // The helper has let go of its list already.
    if (!_optionMenu)
        return;
    disconnect(_optionMenu, &QObject::destroyed, _helper, nullptr);
    delete _optionMenu;
}

void PagePopups::chooseColor(const QString &current)
{
    auto *dialog = new QColorDialog(QColor(current), _view);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, _helper, [helper = _helper, dialog](int result) {
        helper->send(msg::toHelper::chooseColor,
                     {result == QDialog::Accepted ? dialog->selectedColor().name() : QString()});
    });
    dialog->open();
}

void PagePopups::chooseFiles(bool several)
{
    auto *dialog = new QFileDialog(_view);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    connect(dialog, &QDialog::finished, _helper, [helper = _helper, dialog](int result) {
        helper->send(msg::toHelper::chooseFiles, result == QDialog::Accepted ? dialog->selectedFiles() : QStringList());
    });
    dialog->open();
}

QMenu *PagePopups::optionMenu() const
{
    return _optionMenu;
}
