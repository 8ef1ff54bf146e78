// Loaded by every web process of the page: puts the host's token on the
// requests that may carry it.

#include "tokenscope.h"

#include <webkit2/webkit-web-extension.h>

#include <string>

namespace {

std::string headerName;
std::string token;

void takeToken(GVariant *parameters)
{
    if (!parameters || !g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ss)")))
        return;
    const gchar *name = nullptr;
    const gchar *value = nullptr;
    g_variant_get(parameters, "(&s&s)", &name, &value);
    headerName = name;
    token = value;
}

gboolean onSendRequest(WebKitWebPage *page, WebKitURIRequest *request, WebKitURIResponse *redirectedResponse, gpointer)
{
    SoupMessageHeaders *headers = webkit_uri_request_get_http_headers(request);
    if (!headers || headerName.empty())
        return FALSE;
    const char *pageAddress = webkit_web_page_get_uri(page);
    const tokenscope::Request asked{webkit_uri_request_get_uri(request), pageAddress ? pageAddress : "",
                                    redirectedResponse != nullptr};
    if (tokenscope::mayCarry(token, asked))
        soup_message_headers_replace(headers, headerName.c_str(), token.c_str());
    else
        soup_message_headers_remove(headers, headerName.c_str());
    return FALSE;
}

gboolean onUserMessage(WebKitWebExtension *, WebKitUserMessage *message, gpointer)
{
    if (g_strcmp0(webkit_user_message_get_name(message), "token") == 0)
        takeToken(webkit_user_message_get_parameters(message));
    return TRUE;
}

void onPageCreated(WebKitWebExtension *, WebKitWebPage *page, gpointer)
{
    g_signal_connect(page, "send-request", G_CALLBACK(onSendRequest), nullptr);
}

} // namespace

extern "C" G_MODULE_EXPORT void webkit_web_extension_initialize_with_user_data(WebKitWebExtension *extension,
                                                                                const GVariant *data)
{
    takeToken(const_cast<GVariant *>(data));
    g_signal_connect(extension, "page-created", G_CALLBACK(onPageCreated), nullptr);
    g_signal_connect(extension, "user-message-received", G_CALLBACK(onUserMessage), nullptr);
}
