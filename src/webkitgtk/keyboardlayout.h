#pragma once

#include <QString>

// The keyboard layout the user's X server uses, as XKB names it, so the
// helper reads the keys the user presses with the same layout (a German or
// French one, AltGr, dead keys). Empty names where the server says nothing.
struct KeyboardLayout {
    QString rules;
    QString model;
    QString layout;
    QString variant;
    QString options;

    static KeyboardLayout ofDisplay();
    // The names as the X server publishes them: NUL-separated, in this order.
    static KeyboardLayout fromRulesNames(const QByteArray &names);
};
