#include "keyboardlayout.h"

#include <QGuiApplication>
#include <QList>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

KeyboardLayout KeyboardLayout::fromRulesNames(const QByteArray &names)
{
    const QList<QByteArray> fields = names.split('\0');
    const auto at = [&fields](int index) { return QString::fromLatin1(fields.value(index)); };
    return {at(0), at(1), at(2), at(3), at(4)};
}

KeyboardLayout KeyboardLayout::ofDisplay()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return {};
    // A connection of its own, once: the toolkit's is not public.
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return {};
    }
    const char atomName[] = "_XKB_RULES_NAMES";
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(std::strlen(atomName)), atomName), nullptr);
    QByteArray names;
    if (atom && atom->atom != XCB_ATOM_NONE) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        xcb_get_property_reply_t *property = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_STRING, 0, 1024), nullptr);
        if (property)
            names = QByteArray(static_cast<const char *>(xcb_get_property_value(property)),
                               xcb_get_property_value_length(property));
        std::free(property);
    }
    std::free(atom);
    xcb_disconnect(connection);
    return fromRulesNames(names);
}
