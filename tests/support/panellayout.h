#pragma once

#include "downloadfile/downloadfiledelegate.h"

#include <QJsonArray>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

class ZuvoChatWebBroswer_impl;

// The browser's content widget built in this process at the size the browser
// window has on screen, its download panel open on the given records (as the
// host lists them), so that clicks land where the browser painted rows, links
// and marks. Never mapped. Rectangles are in the window's client coordinates.
class PanelLayout
{
public:
    PanelLayout(const QSize &clientSize, const QJsonArray &records);
    ~PanelLayout();

    // Any widget of the content by object name; empty when hidden or absent.
    QRect rectOf(const char *objectName) const;
    QRect recordRect(const QString &key) const;
    QRect linkRect(const QString &key) const;
    QRect deleteMarkRect(const QString &key) const;
    // The confirming button of the question asked before deleting one record
    // (all false) or all of them.
    QRect removalConfirmRect(bool all) const;

private:
    QRect toClient(const QWidget *widget, const QRect &rect) const;
    // The record's row and its links, in client coordinates.
    bool rowOf(const QString &key, QRect *row, DownloadFileDelegate::RowGeometry *geometry) const;

    std::unique_ptr<ZuvoChatWebBroswer_impl> _content;
};
