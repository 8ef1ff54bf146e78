#pragma once

class QAccessibleInterface;
class QModelIndex;
class TreeView;

// The download history as assistive technologies read it: a list whose
// items are the day headings and the records. A record is named by one
// sentence (name, state, size or progress), carries its progress as a value
// and offers its links (open folder or download again, and delete) as
// actions that do what a click on them does.
namespace downloadfileaccessible {

QAccessibleInterface *listInterface(TreeView *view);

// The interface of the row at index in view, made on first use and kept until
// the row's record goes; null when the index shows no row.
QAccessibleInterface *rowInterface(TreeView *view, int row);
// The same, for the row that shows index.
QAccessibleInterface *rowInterface(TreeView *view, const QModelIndex &index);

} // namespace downloadfileaccessible
