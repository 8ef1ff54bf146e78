#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <memory>
#include <optional>
#include <vector>

class QInputMethodEvent;
class QWaylandCompositor;
class QWaylandSeat;
class QWaylandSurface;
struct wl_global;
struct wl_resource;

// The page's focused text field as the helper describes it: UTF-8 text,
// offsets in bytes, the cursor's rectangle in surface coordinates.
struct TextInputField
{
    QByteArray surroundingText;
    int cursor = 0;
    int anchor = 0;
    quint32 contentHint = 0;
    quint32 contentPurpose = 0;
    std::optional<QRect> cursorRectangle;
    bool enabled = false;

    // The same in Qt's terms: UTF-16 text and positions.
    QString text() const;
    int cursorPosition() const;
    int anchorPosition() const;
    Qt::InputMethodHints hints() const;
};

// What an input method asks of that field, in the protocol's terms.
struct TextInputEdit
{
    QByteArray preedit;
    // Byte offsets into the preedit; -1 and -1 hide its cursor.
    int preeditCursorBegin = -1;
    int preeditCursorEnd = -1;
    QByteArray commit;
    quint32 deleteBefore = 0;
    quint32 deleteAfter = 0;
};

// Qt counts in UTF-16 units from the cursor, the protocol in UTF-8 bytes
// around it.
TextInputEdit textInputEdit(const QInputMethodEvent &event, const TextInputField &field);

// The compositor's side of text-input version 3, through which GTK 3's
// input method module edits the page's fields: the helper says what its
// focused field holds, the browser's input method says what to type there.
// Text-input focus follows each seat's keyboard focus.
class PageTextInput : public QObject
{
    Q_OBJECT

public:
    // Its owner deletes it before the compositor: the display's end reaches
    // the text inputs its clients still hold.
    explicit PageTextInput(QWaylandCompositor *compositor, QObject *parent = nullptr);
    ~PageTextInput() override;

    // The field enabled on a surface that has its seat's keyboard focus, or
    // null.
    const TextInputField *enabledField(QWaylandSurface *surface) const;
    void send(QWaylandSurface *surface, const TextInputEdit &edit);

signals:
    // A field on the surface was enabled, changed or left.
    void fieldChanged(QWaylandSurface *surface);

private:
    struct TextInput;
    // What libwayland calls: plain functions, in the source file.
    struct Requests;

    void followKeyboardFocus(QWaylandSeat *seat);
    void moveFocus(TextInput &input, QWaylandSurface *surface);
    TextInput *enabledOn(QWaylandSurface *surface) const;
    void forget(const TextInput *input);

    wl_global *_global;
    std::vector<wl_resource *> _managers;
    std::vector<std::unique_ptr<TextInput>> _textInputs;
    std::vector<QPointer<QWaylandSeat>> _followedSeats;
};
