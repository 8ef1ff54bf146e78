#pragma once

#include <QLabel>

// The plain words shown in the page's place once the process that drew it
// has ended, for the engines whose page has a process of its own. A child of
// the view that covers it, whatever its size, until hidden again.
class CrashNotice : public QLabel
{
    Q_OBJECT

public:
    explicit CrashNotice(QWidget *view);

    void showOverPage();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyText();
};
