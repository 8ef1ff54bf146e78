#pragma once

#include "button.h"

#include <QLabel>
#include <QString>
#include <QWidget>

#include <functional>

class QPaintEvent;
class QResizeEvent;

// A white box laid over the content with a message and one or two answers.
// It never closes itself: the creator's callbacks decide what an answer does,
// including hiding and deleting the box they are handed.
class InformBox : public QWidget
{
    Q_OBJECT

public:
    using Action = std::function<void(QWidget *)>;

    // An empty cancelText leaves only the confirming button.
    InformBox(QWidget *parent, const QString &information, const QString &confirmText, Action confirm,
              const QString &cancelText, Action cancel);

signals:
    void closed();

public slots:
    void onConfirm();
    void onCancel();

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void run(const Action &action);

    QLabel _information;
    TextButton _confirmButton;
    TextButton _cancelButton;
    Action _confirm;
    Action _cancel;
};
