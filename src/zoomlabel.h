#pragma once

#include <QFont>
#include <QString>
#include <QTimer>
#include <QWidget>

class QPaintEvent;

// The short-lived "110%" shown over the page after each zoom change. Its
// parent places it; it sizes itself to its text and hides itself again.
class ZoomLabel : public QWidget
{
    Q_OBJECT

public:
    explicit ZoomLabel(QWidget *parent);

    // Shows the level and (re)starts the moment it stays up.
    void showLevel(int percent);
    QString text() const { return _text; }

    static constexpr int shownMs = 1200;

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QFont _font;
    QString _text;
    QTimer _hideTimer;
};
