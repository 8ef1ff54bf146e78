// Loaded by every web process of the page: puts the host's token on the
// requests that may carry it.

#include "trustedorigins.h"

#include <QStringList>
#include <QUrl>

#include <webkit2/webkit-web-extension.h>

#include <string>
#include <unordered_map>
#include <unordered_set>

namespace {

std::string headerName;
// As the header wants it, see headerValue().
std::string token;

// WebKit reads a header set here as Latin-1 and sends it on as UTF-8, so a
// token goes out as the host's UTF-8 only when given as Latin-1. One that
// Latin-1 cannot hold would go out garbled: it is not sent at all.
std::string headerValue(const char *utf8)
{
    gsize written = 0;
    gchar *latin1 = g_convert(utf8, -1, "ISO-8859-1", "UTF-8", nullptr, &written, nullptr);
    if (!latin1) {
        g_warning("the access token holds characters beyond Latin-1 and is not sent");
        return {};
    }
    std::string value(latin1, written);
    g_free(latin1);
    return value;
}

// The browser's rule, asked as the browser's other engines ask it.
TrustedOriginList trustedOrigins;
QUrl hostNavigation;
// Each page's main frame document: the one that starts its requests. WebKit's
// own page address is already the next one while that loads. A process may
// hold more than the browser's page (a blank one that started it early).
std::unordered_map<guint64, QUrl> documents;
// Addresses that went out with the token, so a redirect hop knows whether
// the hop before it carried it.
std::unordered_set<std::string> carriedToken;
constexpr size_t kRememberedCarriers = 256;

QUrl addressOf(const char *uri)
{
    return comparableAddress(QUrl(QString::fromUtf8(uri ? uri : "")));
}

void takeToken(GVariant *parameters)
{
    if (!parameters || !g_variant_is_of_type(parameters, G_VARIANT_TYPE("(sss)")))
        return;
    const gchar *name = nullptr;
    const gchar *value = nullptr;
    const gchar *trust = nullptr;
    g_variant_get(parameters, "(&s&s&s)", &name, &value, &trust);
    headerName = name;
    token = headerValue(value);
    // "1" and the patterns, one per line, while the host's rule is in force.
    QStringList patterns = QString::fromUtf8(trust).split(QLatin1Char('\n'));
    const bool active = patterns.takeFirst() == QLatin1String("1");
    trustedOrigins = active ? TrustedOriginList::fromPatterns(patterns) : TrustedOriginList();
}

bool mayCarryToken(WebKitWebPage *page, WebKitURIRequest *request, WebKitURIResponse *redirectedResponse)
{
    const QUrl address = addressOf(webkit_uri_request_get_uri(request));
    if (redirectedResponse) {
        const std::string previous = addressOf(webkit_uri_response_get_uri(redirectedResponse)).toString().toStdString();
        const QUrl previousWithToken = carriedToken.count(previous) ? QUrl(QString::fromStdString(previous)) : QUrl();
        return trustedOrigins.mayCarryToken(address, previousWithToken, false);
    }
    const bool startedByHost = !hostNavigation.isEmpty() && address == hostNavigation;
    if (startedByHost)
        hostNavigation.clear();
    const auto document = documents.find(webkit_web_page_get_id(page));
    return trustedOrigins.mayCarryToken(address, document == documents.end() ? QUrl() : document->second,
                                        startedByHost);
}

gboolean onSendRequest(WebKitWebPage *page, WebKitURIRequest *request, WebKitURIResponse *redirectedResponse,
                       gpointer)
{
    SoupMessageHeaders *headers = webkit_uri_request_get_http_headers(request);
    if (!headers || headerName.empty())
        return FALSE;
    if (!token.empty() && mayCarryToken(page, request, redirectedResponse)) {
        soup_message_headers_replace(headers, headerName.c_str(), token.c_str());
        if (carriedToken.size() >= kRememberedCarriers)
            carriedToken.clear();
        carriedToken.insert(addressOf(webkit_uri_request_get_uri(request)).toString().toStdString());
    } else {
        // Also the header a redirect would carry over from the hop before.
        soup_message_headers_remove(headers, headerName.c_str());
    }
    return FALSE;
}

gboolean onUserMessage(WebKitWebExtension *, WebKitUserMessage *message, gpointer)
{
    const char *name = webkit_user_message_get_name(message);
    GVariant *parameters = webkit_user_message_get_parameters(message);
    if (g_strcmp0(name, "token") == 0) {
        takeToken(parameters);
    } else if (g_strcmp0(name, "hostNavigation") == 0 && parameters &&
               g_variant_is_of_type(parameters, G_VARIANT_TYPE("(s)"))) {
        const gchar *address = nullptr;
        g_variant_get(parameters, "(&s)", &address);
        hostNavigation = addressOf(address);
    }
    return TRUE;
}

// The bridge's calls are prompts whose text starts with a control character,
// and the helper can only tell which page, not which frame, asks. A frame
// inside the page may hold a document of any origin, so its prompt refuses
// such a text before it leaves the frame; what no page would prompt anyway.
const char *const framePromptGuard = R"((function () {
    var prompt = window.prompt;
    var guarded = function (message, answer) {
        if (String(message).charCodeAt(0) === 1)
            return null;
        return prompt.apply(window, arguments);
    };
    // Wherever the engine keeps it, the window or its prototypes.
    for (var holder = window; holder; holder = Object.getPrototypeOf(holder)) {
        if (Object.prototype.hasOwnProperty.call(holder, 'prompt'))
            Object.defineProperty(holder, 'prompt', { value: guarded, writable: false, configurable: false });
    }
})();)";

void onWindowObjectCleared(WebKitScriptWorld *world, WebKitWebPage *page, WebKitFrame *frame, gpointer)
{
    if (webkit_frame_is_main_frame(frame)) {
        documents[webkit_web_page_get_id(page)] = QUrl(QString::fromUtf8(webkit_frame_get_uri(frame)));
        return;
    }
    JSCContext *context = webkit_frame_get_js_context_for_script_world(frame, world);
    if (JSCValue *result = jsc_context_evaluate(context, framePromptGuard, -1))
        g_object_unref(result);
    g_object_unref(context);
}

void onPageCreated(WebKitWebExtension *, WebKitWebPage *page, gpointer)
{
    g_signal_connect(page, "send-request", G_CALLBACK(onSendRequest), nullptr);
    g_object_weak_ref(G_OBJECT(page), +[](gpointer id, GObject *) { documents.erase(GPOINTER_TO_SIZE(id)); },
                      GSIZE_TO_POINTER(webkit_web_page_get_id(page)));
}

// The token's parameters and the host's address that this process is
// started for, if any.
void takeInitialData(GVariant *data)
{
    if (!data || !g_variant_is_of_type(data, G_VARIANT_TYPE("((sss)s)")))
        return;
    GVariant *token = g_variant_get_child_value(data, 0);
    takeToken(token);
    g_variant_unref(token);
    const gchar *address = nullptr;
    g_variant_get_child(data, 1, "&s", &address);
    if (address && *address)
        hostNavigation = addressOf(address);
}

} // namespace

extern "C" G_MODULE_EXPORT void webkit_web_extension_initialize_with_user_data(WebKitWebExtension *extension,
                                                                                const GVariant *data)
{
    takeInitialData(const_cast<GVariant *>(data));
    g_signal_connect(extension, "page-created", G_CALLBACK(onPageCreated), nullptr);
    g_signal_connect(webkit_script_world_get_default(), "window-object-cleared", G_CALLBACK(onWindowObjectCleared),
                     nullptr);
    g_signal_connect(extension, "user-message-received", G_CALLBACK(onUserMessage), nullptr);
}
