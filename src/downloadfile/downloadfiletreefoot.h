#pragma once

#include <QPushButton>
#include <QWidget>

// The strip under the history with the clear-all button and a soft shadow
// along its top edge.
class DownloadFileTreeFoot : public QWidget
{
    Q_OBJECT

public:
    explicit DownloadFileTreeFoot(QWidget *parent);

signals:
    void clearAll();

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QPushButton _clearAll;
};
