#include "pagetextinput.h"

#include "text-input-unstable-v3-server-protocol.h"

#include <QInputMethodEvent>
#include <QWaylandClient>
#include <QWaylandCompositor>
#include <QWaylandSeat>
#include <QWaylandSurface>

#include <algorithm>

namespace {

QString textBefore(const QByteArray &utf8, int byteOffset)
{
    return QString::fromUtf8(utf8.left(qBound(0, byteOffset, utf8.size())));
}

QString textAfter(const QByteArray &utf8, int byteOffset)
{
    return QString::fromUtf8(utf8.mid(qBound(0, byteOffset, utf8.size())));
}

int utf8Length(const QString &text)
{
    return text.toUtf8().size();
}

// Characters beyond the text the helper sent count one byte each, the least
// they can be: better to leave a character than to delete one unseen.
quint32 bytesOfLast(const QString &text, int characters)
{
    return quint32(utf8Length(text.right(characters)) + qMax(0, characters - text.size()));
}

quint32 bytesOfFirst(const QString &text, int characters)
{
    return quint32(utf8Length(text.left(characters)) + qMax(0, characters - text.size()));
}

struct HintOf
{
    quint32 value;
    Qt::InputMethodHints hints;
};

const HintOf hintsOfContent[] = {
    {ZWP_TEXT_INPUT_V3_CONTENT_HINT_LOWERCASE, Qt::ImhPreferLowercase},
    {ZWP_TEXT_INPUT_V3_CONTENT_HINT_UPPERCASE, Qt::ImhPreferUppercase},
    {ZWP_TEXT_INPUT_V3_CONTENT_HINT_HIDDEN_TEXT, Qt::ImhHiddenText},
    {ZWP_TEXT_INPUT_V3_CONTENT_HINT_SENSITIVE_DATA, Qt::ImhSensitiveData | Qt::ImhNoPredictiveText},
    {ZWP_TEXT_INPUT_V3_CONTENT_HINT_LATIN, Qt::ImhLatinOnly},
    {ZWP_TEXT_INPUT_V3_CONTENT_HINT_MULTILINE, Qt::ImhMultiLine},
};

const HintOf hintsOfPurpose[] = {
    {ZWP_TEXT_INPUT_V3_CONTENT_PURPOSE_DIGITS, Qt::ImhDigitsOnly},
    {ZWP_TEXT_INPUT_V3_CONTENT_PURPOSE_NUMBER, Qt::ImhFormattedNumbersOnly},
    {ZWP_TEXT_INPUT_V3_CONTENT_PURPOSE_PHONE, Qt::ImhDialableCharactersOnly},
    {ZWP_TEXT_INPUT_V3_CONTENT_PURPOSE_URL, Qt::ImhUrlCharactersOnly},
    {ZWP_TEXT_INPUT_V3_CONTENT_PURPOSE_EMAIL, Qt::ImhEmailCharactersOnly},
    {ZWP_TEXT_INPUT_V3_CONTENT_PURPOSE_PASSWORD, Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText},
    {ZWP_TEXT_INPUT_V3_CONTENT_PURPOSE_PIN,
     Qt::ImhDigitsOnly | Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText},
    {ZWP_TEXT_INPUT_V3_CONTENT_PURPOSE_DATE, Qt::ImhDate},
    {ZWP_TEXT_INPUT_V3_CONTENT_PURPOSE_TIME, Qt::ImhTime},
    {ZWP_TEXT_INPUT_V3_CONTENT_PURPOSE_DATETIME, Qt::ImhDate | Qt::ImhTime},
};

// A surface that is gone keeps its object while views hold it, but no
// longer its resource.
wl_resource *resourceOf(QWaylandSurface *surface)
{
    return surface && !surface->isDestroyed() ? surface->resource() : nullptr;
}

} // namespace

QString TextInputField::text() const
{
    return QString::fromUtf8(surroundingText);
}

int TextInputField::cursorPosition() const
{
    return textBefore(surroundingText, cursor).size();
}

int TextInputField::anchorPosition() const
{
    return textBefore(surroundingText, anchor).size();
}

Qt::InputMethodHints TextInputField::hints() const
{
    Qt::InputMethodHints hints;
    for (const HintOf &hint : hintsOfContent) {
        if (contentHint & hint.value)
            hints |= hint.hints;
    }
    for (const HintOf &purpose : hintsOfPurpose) {
        if (contentPurpose == purpose.value)
            hints |= purpose.hints;
    }
    return hints;
}

TextInputEdit textInputEdit(const QInputMethodEvent &event, const TextInputField &field)
{
    TextInputEdit edit;
    const QString preedit = event.preeditString();
    if (!preedit.isEmpty()) {
        edit.preedit = preedit.toUtf8();
        int cursor = preedit.size();
        bool cursorShown = true;
        for (const QInputMethodEvent::Attribute &attribute : event.attributes()) {
            if (attribute.type == QInputMethodEvent::Cursor) {
                cursor = qBound(0, attribute.start, preedit.size());
                cursorShown = attribute.length != 0;
            }
        }
        if (cursorShown)
            edit.preeditCursorBegin = edit.preeditCursorEnd = utf8Length(preedit.left(cursor));
    }
    edit.commit = event.commitString().toUtf8();
    if (event.replacementLength() > 0) {
        // The protocol deletes around the cursor only: a range that stops
        // short of it is widened to reach it.
        const int start = event.replacementStart();
        const int end = start + event.replacementLength();
        edit.deleteBefore = bytesOfLast(textBefore(field.surroundingText, field.cursor), qMax(0, -start));
        edit.deleteAfter = bytesOfFirst(textAfter(field.surroundingText, field.cursor), qMax(0, end));
    }
    return edit;
}

struct PageTextInput::TextInput
{
    PageTextInput *owner;
    wl_resource *resource;
    QPointer<QWaylandSeat> seat;
    QPointer<QWaylandSurface> focus;
    TextInputField pending;
    TextInputField current;
    // What done() carries: every commit the client made, ignored ones too,
    // as the client counts them.
    quint32 commits = 0;
};

struct PageTextInput::Requests
{
    static TextInput *textInputOf(wl_resource *resource)
    {
        return static_cast<TextInput *>(wl_resource_get_user_data(resource));
    }

    static void destroy(wl_client *, wl_resource *resource)
    {
        wl_resource_destroy(resource);
    }

    static void bind(wl_client *client, void *data, quint32 version, quint32 id)
    {
        wl_resource *manager = wl_resource_create(client, &zwp_text_input_manager_v3_interface, int(version), id);
        if (!manager) {
            wl_client_post_no_memory(client);
            return;
        }
        auto *owner = static_cast<PageTextInput *>(data);
        wl_resource_set_implementation(manager, &managerRequests, owner, forgetManager);
        owner->_managers.push_back(manager);
    }

    static void forgetManager(wl_resource *manager)
    {
        if (auto *owner = static_cast<PageTextInput *>(wl_resource_get_user_data(manager)))
            owner->_managers.erase(std::remove(owner->_managers.begin(), owner->_managers.end(), manager),
                                   owner->_managers.end());
    }

    static void getTextInput(wl_client *client, wl_resource *manager, quint32 id, wl_resource *seat)
    {
        wl_resource *resource = wl_resource_create(client, &zwp_text_input_v3_interface,
                                                   wl_resource_get_version(manager), id);
        if (!resource) {
            wl_client_post_no_memory(client);
            return;
        }
        auto *owner = static_cast<PageTextInput *>(wl_resource_get_user_data(manager));
        if (!owner) {
            // The compositor is going: a text input that never hears a thing.
            wl_resource_set_implementation(resource, &textInputRequests, nullptr, nullptr);
            return;
        }
        auto input = std::make_unique<TextInput>();
        input->owner = owner;
        input->resource = resource;
        input->seat = QWaylandSeat::fromSeatResource(seat);
        wl_resource_set_implementation(resource, &textInputRequests, input.get(), forgetTextInput);
        TextInput &added = *input;
        owner->_textInputs.push_back(std::move(input));
        if (added.seat) {
            owner->followKeyboardFocus(added.seat);
            owner->moveFocus(added, added.seat->keyboardFocus());
        }
    }

    static void forgetTextInput(wl_resource *resource)
    {
        if (TextInput *input = textInputOf(resource))
            input->owner->forget(input);
    }

    static void enable(wl_client *, wl_resource *resource)
    {
        // Until its next enter, a text input that left is not heard.
        TextInput *input = textInputOf(resource);
        if (!input || !input->focus)
            return;
        input->pending = TextInputField();
        input->pending.enabled = true;
    }

    static void disable(wl_client *, wl_resource *resource)
    {
        if (TextInput *input = textInputOf(resource))
            input->pending.enabled = false;
    }

    static void setSurroundingText(wl_client *, wl_resource *resource, const char *text, int32_t cursor,
                                   int32_t anchor)
    {
        if (TextInput *input = textInputOf(resource)) {
            input->pending.surroundingText = QByteArray(text);
            input->pending.cursor = cursor;
            input->pending.anchor = anchor;
        }
    }

    static void setTextChangeCause(wl_client *, wl_resource *, quint32)
    {
        // The input methods of Qt learn of changes by queries, not causes.
    }

    static void setContentType(wl_client *, wl_resource *resource, quint32 hint, quint32 purpose)
    {
        if (TextInput *input = textInputOf(resource)) {
            input->pending.contentHint = hint;
            input->pending.contentPurpose = purpose;
        }
    }

    static void setCursorRectangle(wl_client *, wl_resource *resource, int32_t x, int32_t y, int32_t width,
                                   int32_t height)
    {
        if (TextInput *input = textInputOf(resource))
            input->pending.cursorRectangle = QRect(x, y, width, height);
    }

    static void commit(wl_client *, wl_resource *resource)
    {
        TextInput *input = textInputOf(resource);
        if (!input)
            return;
        ++input->commits;
        if (!input->focus)
            return;
        input->current = input->pending;
        emit input->owner->fieldChanged(input->focus);
    }

    // In the protocol's order of requests.
    static const struct zwp_text_input_manager_v3_interface managerRequests;
    static const struct zwp_text_input_v3_interface textInputRequests;
};

const struct zwp_text_input_manager_v3_interface PageTextInput::Requests::managerRequests = {
    destroy,
    getTextInput,
};

const struct zwp_text_input_v3_interface PageTextInput::Requests::textInputRequests = {
    destroy, enable, disable, setSurroundingText, setTextChangeCause, setContentType, setCursorRectangle, commit,
};

PageTextInput::PageTextInput(QWaylandCompositor *compositor, QObject *parent)
    : QObject(parent)
    , _global(wl_global_create(compositor->display(), &zwp_text_input_manager_v3_interface, 1, this,
                               Requests::bind))
{
}

PageTextInput::~PageTextInput()
{
    // The display ends the clients' objects after this one is gone: none of
    // them may still lead here.
    for (wl_resource *manager : _managers)
        wl_resource_set_user_data(manager, nullptr);
    for (const auto &input : _textInputs)
        wl_resource_set_user_data(input->resource, nullptr);
    if (_global)
        wl_global_destroy(_global);
}

void PageTextInput::followKeyboardFocus(QWaylandSeat *seat)
{
    if (std::find(_followedSeats.cbegin(), _followedSeats.cend(), seat) != _followedSeats.cend())
        return;
    _followedSeats.emplace_back(seat);
    connect(seat, &QWaylandSeat::keyboardFocusChanged, this, [this, seat](QWaylandSurface *focus) {
        for (const auto &input : _textInputs) {
            if (input->seat == seat)
                moveFocus(*input, focus);
        }
    });
}

void PageTextInput::moveFocus(TextInput &input, QWaylandSurface *surface)
{
    // Only the surfaces of its own client are a text input's to enter.
    const QWaylandClient *client = surface ? surface->client() : nullptr;
    wl_resource *entered = client && client->client() == wl_resource_get_client(input.resource) ? resourceOf(surface)
                                                                                                : nullptr;
    QWaylandSurface *entering = entered ? surface : nullptr;
    if (input.focus == entering)
        return;
    const QPointer<QWaylandSurface> left = input.focus;
    const bool leftEnabled = input.current.enabled;
    input.pending = input.current = TextInputField();
    input.focus = entering;
    if (wl_resource *leftResource = resourceOf(left))
        zwp_text_input_v3_send_leave(input.resource, leftResource);
    if (entered)
        zwp_text_input_v3_send_enter(input.resource, entered);
    if (left && leftEnabled)
        emit fieldChanged(left);
}

void PageTextInput::forget(const TextInput *input)
{
    const QPointer<QWaylandSurface> focus = input->focus;
    const bool wasEnabled = input->current.enabled;
    _textInputs.erase(std::remove_if(_textInputs.begin(), _textInputs.end(),
                                     [input](const std::unique_ptr<TextInput> &held) { return held.get() == input; }),
                      _textInputs.end());
    if (focus && wasEnabled)
        emit fieldChanged(focus);
}

PageTextInput::TextInput *PageTextInput::enabledOn(QWaylandSurface *surface) const
{
    if (!surface)
        return nullptr;
    for (const auto &input : _textInputs) {
        if (input->focus == surface && input->current.enabled)
            return input.get();
    }
    return nullptr;
}

const TextInputField *PageTextInput::enabledField(QWaylandSurface *surface) const
{
    const TextInput *input = enabledOn(surface);
    return input ? &input->current : nullptr;
}

void PageTextInput::send(QWaylandSurface *surface, const TextInputEdit &edit)
{
    TextInput *input = enabledOn(surface);
    if (!input)
        return;
    // An empty preedit goes as none, which ends the composition.
    zwp_text_input_v3_send_preedit_string(input->resource, edit.preedit.isEmpty() ? nullptr : edit.preedit.constData(),
                                          edit.preeditCursorBegin, edit.preeditCursorEnd);
    if (!edit.commit.isEmpty())
        zwp_text_input_v3_send_commit_string(input->resource, edit.commit.constData());
    if (edit.deleteBefore || edit.deleteAfter)
        zwp_text_input_v3_send_delete_surrounding_text(input->resource, edit.deleteBefore, edit.deleteAfter);
    zwp_text_input_v3_send_done(input->resource, input->commits);
}
