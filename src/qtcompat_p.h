#pragma once

// The browser builds against Qt 5 and Qt 6 from the same sources. Where the
// two differ in what the engine-neutral code uses, the difference is bridged
// here, once, so no other file asks which Qt it is built with. (Each engine
// that differs has a header of its own beside its code.)

#include <QEvent>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QMouseEvent>
#include <QPoint>
#include <QPointF>

namespace qtcompat {

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)

// What QWidget::enterEvent is handed.
using EnterEvent = QEnterEvent;

inline QPointF position(const QMouseEvent *event)
{
    return event->position();
}

inline QPoint globalPosition(const QMouseEvent *event)
{
    return event->globalPosition().toPoint();
}

// Where Qt's own catalogues (qtbase_*.qm) are installed.
inline QString translationsPath()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

#else

using EnterEvent = QEvent;

inline QPointF position(const QMouseEvent *event)
{
    return event->localPos();
}

inline QPoint globalPosition(const QMouseEvent *event)
{
    return event->globalPos();
}

inline QString translationsPath()
{
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
}

#endif

// The window scales itself by the screen's logical DPI (see
// ZuvoChatWBConfigure), and leaves the toolkit to scale only where the user
// asks it to (QT_SCALE_FACTOR, say). That is Qt 5's default; Qt 6 always
// scales by the screen's DPI, and with fractions, unless told not to before
// the application object exists. Call this first, and done() once the
// application object exists.
class DisplayScaleAsQt5
{
public:
    DisplayScaleAsQt5()
    {
        QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        // A user's own setting wins.
        if (!qEnvironmentVariableIsSet(kVariable)) {
            qputenv(kVariable, "0");
            _setHere = true;
        }
#endif
    }

    // The toolkit has read it; the processes the browser starts (the pages'
    // helpers, a program a link opens) get the environment as it was.
    void done()
    {
        if (_setHere)
            qunsetenv(kVariable);
        _setHere = false;
    }

private:
    static constexpr const char *kVariable = "QT_ENABLE_HIGHDPI_SCALING";
    bool _setHere = false;
};

} // namespace qtcompat
