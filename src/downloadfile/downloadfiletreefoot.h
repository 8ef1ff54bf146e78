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

    // The button keeps its width unless a longer caption needs more.
    void setClearAllText(const QString &text);

signals:
    void clearAll();

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QPushButton _clearAll;
};
