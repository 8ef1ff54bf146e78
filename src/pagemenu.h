#pragma once

#include <QUrl>

#include <functional>

class QMenu;
class QWidget;

// The right-click menu over a page, the same in both engines: the entries
// that apply to what the pointer is over, in a fixed order, or no menu at all.
namespace pagemenu {

struct Target {
    QUrl link;
    bool hasSelection = false;
    bool isImage = false;
    bool canGoBack = false;
};

struct Actions {
    std::function<void()> copyLink;
    std::function<void()> copy;
    std::function<void()> copyImage;
    std::function<void()> back;
    // Empty unless the developer tools are enabled.
    std::function<void()> inspect;
};

// A menu without parent that deletes itself once hidden, or null when no
// entry applies. It pops up over the window of view: on Wayland a popup is
// placed only relative to a window of its own program.
QMenu *build(const Target &target, const Actions &actions, const QWidget *view);

} // namespace pagemenu
