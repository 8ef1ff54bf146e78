// The browser's WebKitGTK page: a GTK window on the browser's own Wayland
// compositor, holding one web view. It does what the browser's messages on
// stdin say and reports on the descriptor that was stdout; it ends when the
// browser does.

#include "helpermessages.h"

#include <glib-unix.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace msg = helpermessages;

namespace {

struct Helper {
    int channelIn = -1;
    int channelOut = -1;
    msg::Framer framer;
    GtkWidget *window = nullptr;
    WebKitWebView *view = nullptr;
    // Shares the page's process and starts it before the first address.
    WebKitWebView *warmer = nullptr;
    WebKitWebContext *context = nullptr;
    std::map<unsigned, WebKitScriptDialog *> pendingDialogs;
    std::map<unsigned, WebKitURISchemeRequest *> pendingResources;
    // The popups the browser shows for the page, one of each at a time.
    WebKitOptionMenu *optionMenu = nullptr;
    WebKitColorChooserRequest *colorRequest = nullptr;
    WebKitFileChooserRequest *fileRequest = nullptr;
    unsigned nextDialogId = 1;
    std::string requestedAddress;
    std::string bridgeMarker;
    std::string extensionFolder;
    std::string menuImage;
    std::string tokenHeader;
    std::string token;
    // "1" then the patterns, one per line, while the host's trusted origins are in force.
    std::string trust;
    // The host's address until it commits, for a page process started to load it.
    std::string hostNavigation;
    bool strictCertificates = false;
    std::set<std::string> passingCertificates;
    bool loadFailed = false;
    std::string findText;
    int findCurrent = 0;
    int findTotal = 0;
    int findDirection = 0;
};

Helper helper;

// A process as /proc/PID/stat tells it.
struct ProcessEntry {
    pid_t pid = 0;
    pid_t parent = 0;
    std::string name;
    unsigned long long started = 0;
};

std::vector<ProcessEntry> processes()
{
    std::vector<ProcessEntry> found;
    GDir *proc = g_dir_open("/proc", 0, nullptr);
    if (!proc)
        return found;
    while (const char *entry = g_dir_read_name(proc)) {
        gchar *stat = nullptr;
        const std::string path = std::string("/proc/") + entry + "/stat";
        if (!g_ascii_isdigit(entry[0]) || !g_file_get_contents(path.c_str(), &stat, nullptr, nullptr))
            continue;
        // pid (name) state ppid ...: the name may hold anything; field 22 is the start time.
        const std::string line = stat;
        g_free(stat);
        const size_t open = line.find('(');
        const size_t close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close < open)
            continue;
        gchar **fields = g_strsplit(line.c_str() + close + 2, " ", 0);
        if (g_strv_length(fields) > 19) {
            found.push_back({pid_t(std::atol(entry)), pid_t(std::atol(fields[1])),
                             line.substr(open + 1, close - open - 1), g_ascii_strtoull(fields[19], nullptr, 10)});
        }
        g_strfreev(fields);
    }
    g_dir_close(proc);
    return found;
}

// The processes this one started, and theirs (a sandbox's bwrap and what
// runs inside it).
std::vector<pid_t> descendants()
{
    const std::vector<ProcessEntry> all = processes();
    std::vector<pid_t> found{getpid()};
    for (size_t i = 0; i < found.size(); ++i) {
        for (const ProcessEntry &process : all) {
            if (process.parent == found[i])
                found.push_back(process.pid);
        }
    }
    found.erase(found.begin());
    return found;
}

// WebKit's processes end when their connection to this one closes, but only
// once they read that it did: a page whose script never yields never reads
// it, and would spin on long after the browser. They all end with the helper.
[[noreturn]] void endWithPage()
{
    for (const pid_t pid : descendants())
        kill(pid, SIGKILL);
    _exit(0);
}

void send(const char *name, std::vector<std::string> fields = {})
{
    const std::string bytes = msg::encode({name, std::move(fields)});
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(helper.channelOut, bytes.data() + written, bytes.size() - written);
        if (n <= 0) {
            // The browser is gone.
            endWithPage();
        }
        written += size_t(n);
    }
}

std::string text(const char *value)
{
    return value ? value : "";
}

std::string currentAddress()
{
    return text(webkit_web_view_get_uri(helper.view));
}

// Which process to look at when a page misbehaves: the helper's youngest
// web process child.
long webProcessId()
{
    const ProcessEntry *youngest = nullptr;
    const std::vector<ProcessEntry> all = processes();
    for (const ProcessEntry &process : all) {
        if (process.parent == getpid() && process.name == "WebKitWebProces"
            && (!youngest || process.started >= youngest->started))
            youngest = &process;
    }
    return youngest ? youngest->pid : 0;
}

void reportWebProcess()
{
    static long reported = 0;
    const long pid = webProcessId();
    if (pid > 0 && pid != reported)
        send(msg::toBrowser::webProcess, {std::to_string(pid)});
    reported = pid;
}

void reportCanGoBack()
{
    send(msg::toBrowser::canGoBack, {webkit_web_view_can_go_back(helper.view) ? "1" : "0"});
}

// Page loads

// WebKit starts the page's process only for its first address, and GTK and
// WebKit then start inside it while the user waits. A second view sharing
// that process, on a blank page no one sees, starts it ahead of time; it goes
// once the page has its first document.
void startWarming()
{
    if (helper.warmer || webkit_web_view_get_uri(helper.view))
        return;
    // Without the page's scripts: the bridge's would wait on a dialog no one
    // answers, and hold the shared process with it.
    WebKitUserContentManager *noScripts = webkit_user_content_manager_new();
    helper.warmer = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", helper.view,
                                                 "user-content-manager", noScripts, nullptr));
    g_object_unref(noScripts);
    g_object_ref_sink(helper.warmer);
    webkit_web_view_load_uri(helper.warmer, "about:blank");
}

void stopWarming()
{
    if (!helper.warmer)
        return;
    gtk_widget_destroy(GTK_WIDGET(helper.warmer));
    g_object_unref(helper.warmer);
    helper.warmer = nullptr;
}

void onLoadChanged(WebKitWebView *, WebKitLoadEvent event, gpointer)
{
    if (event == WEBKIT_LOAD_STARTED) {
        helper.loadFailed = false;
        helper.requestedAddress = currentAddress();
        send(msg::toBrowser::loadStarted);
    } else if (event == WEBKIT_LOAD_COMMITTED) {
        helper.hostNavigation.clear();
        stopWarming();
    } else if (event == WEBKIT_LOAD_FINISHED) {
        reportWebProcess();
        reportCanGoBack();
        send(msg::toBrowser::loadFinished,
             {helper.loadFailed ? "0" : "1", helper.requestedAddress, currentAddress()});
    }
}

gboolean onLoadFailed(WebKitWebView *, WebKitLoadEvent, gchar *, GError *, gpointer)
{
    helper.loadFailed = true;
    return FALSE;
}

std::string fingerprintOf(GTlsCertificate *certificate)
{
    GByteArray *der = nullptr;
    g_object_get(certificate, "certificate", &der, nullptr);
    if (!der)
        return {};
    gchar *hex = g_compute_checksum_for_data(G_CHECKSUM_SHA256, der->data, der->len);
    std::string fingerprint = hex ? hex : "";
    g_free(hex);
    g_byte_array_unref(der);
    return fingerprint;
}

// The names of the checks the certificate failed, comma-separated; the
// browser words them in the window's language.
std::string certificateProblem(GTlsCertificateFlags errors)
{
    std::string problems;
    const std::pair<GTlsCertificateFlags, const char *> known[] = {
        {G_TLS_CERTIFICATE_UNKNOWN_CA, "unknownAuthority"}, {G_TLS_CERTIFICATE_BAD_IDENTITY, "otherSite"},
        {G_TLS_CERTIFICATE_NOT_ACTIVATED, "notYetValid"},   {G_TLS_CERTIFICATE_EXPIRED, "expired"},
        {G_TLS_CERTIFICATE_REVOKED, "revoked"},             {G_TLS_CERTIFICATE_INSECURE, "insecure"},
    };
    for (const auto &[flag, name] : known) {
        if (errors & flag)
            problems += (problems.empty() ? "" : ",") + std::string(name);
    }
    return problems;
}

gboolean onTlsError(WebKitWebView *view, gchar *failingUri, GTlsCertificate *certificate, GTlsCertificateFlags errors,
                    gpointer)
{
    // Raised only once the host's rule is strict: until then the data
    // manager's policy ignores certificate errors.
    GUri *uri = g_uri_parse(failingUri, G_URI_FLAGS_NONE, nullptr);
    const std::string host = uri && g_uri_get_host(uri) ? g_uri_get_host(uri) : "";
    if (uri)
        g_uri_unref(uri);
    if (!helper.passingCertificates.count(fingerprintOf(certificate))) {
        // The browser sends the page that says so, with no way on.
        send(msg::toBrowser::certificateRefused, {failingUri, certificateProblem(errors)});
        return TRUE;
    }
    webkit_web_context_allow_tls_certificate_for_host(helper.context, certificate, host.c_str());
    webkit_web_view_load_uri(view, failingUri);
    return TRUE;
}

// The page saying an address was refused, in its place; unless another
// address was asked for while the browser wrote it, which stands.
void showRefusal(const std::string &page, const std::string &refusedUri)
{
    const gchar *current = webkit_web_view_get_uri(helper.view);
    if (!current || refusedUri != current)
        return;
    webkit_web_view_load_alternate_html(helper.view, page.c_str(), refusedUri.c_str(), nullptr);
}

// Dialogs and the bridge's calls, both answered by the browser later

const char *dialogKind(WebKitScriptDialogType type)
{
    switch (type) {
    case WEBKIT_SCRIPT_DIALOG_ALERT: return "alert";
    case WEBKIT_SCRIPT_DIALOG_CONFIRM: return "confirm";
    case WEBKIT_SCRIPT_DIALOG_PROMPT: return "prompt";
    case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM: return "beforeunload";
    }
    return "alert";
}

gboolean onScriptDialog(WebKitWebView *, WebKitScriptDialog *dialog, gpointer)
{
    const WebKitScriptDialogType type = webkit_script_dialog_get_dialog_type(dialog);
    if (type == WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM) {
        // Leaving a page is never held up by the page.
        webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
        return TRUE;
    }
    const unsigned id = helper.nextDialogId++;
    helper.pendingDialogs[id] = webkit_script_dialog_ref(dialog);
    const std::string message = text(webkit_script_dialog_get_message(dialog));
    const std::string document = currentAddress();
    const std::string &marker = helper.bridgeMarker;
    if (type == WEBKIT_SCRIPT_DIALOG_PROMPT && !marker.empty() && message.compare(0, marker.size(), marker) == 0) {
        send(msg::toBrowser::bridgeCall, {std::to_string(id), helper.requestedAddress, document, message.substr(marker.size()),
                                          text(webkit_script_dialog_prompt_get_default_text(dialog))});
        return TRUE;
    }
    const std::string defaultText =
        type == WEBKIT_SCRIPT_DIALOG_PROMPT ? text(webkit_script_dialog_prompt_get_default_text(dialog)) : "";
    send(msg::toBrowser::dialog, {std::to_string(id), dialogKind(type), document, message, defaultText});
    return TRUE;
}

void answerDialog(const msg::Message &message)
{
    const auto found = helper.pendingDialogs.find(unsigned(std::stoul("0" + message.field(0))));
    if (found == helper.pendingDialogs.end())
        return;
    WebKitScriptDialog *dialog = found->second;
    helper.pendingDialogs.erase(found);
    const bool accepted = message.field(1) == "1";
    switch (webkit_script_dialog_get_dialog_type(dialog)) {
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
    case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
        webkit_script_dialog_confirm_set_confirmed(dialog, accepted);
        break;
    case WEBKIT_SCRIPT_DIALOG_PROMPT:
        // Left unset, the page's prompt returns null: its cancel.
        if (accepted)
            webkit_script_dialog_prompt_set_text(dialog, message.field(2).c_str());
        break;
    case WEBKIT_SCRIPT_DIALOG_ALERT:
        break;
    }
    webkit_script_dialog_close(dialog);
    webkit_script_dialog_unref(dialog);
}

void cancelPendingDialogs()
{
    for (auto &pending : helper.pendingDialogs) {
        webkit_script_dialog_close(pending.second);
        webkit_script_dialog_unref(pending.second);
    }
    helper.pendingDialogs.clear();
}

// Popups that need a choice: the browser's own widgets stand in for GTK's,
// and the choice comes back as a message. Tooltips and other passing popups
// GTK draws, and the browser paints them over the page.

std::string optionItem(WebKitOptionMenuItem *item)
{
    namespace state = msg::OptionItem;
    const char kind = webkit_option_menu_item_is_group_label(item) ? state::groupLabel
                      : !webkit_option_menu_item_is_enabled(item)  ? state::disabled
                      : webkit_option_menu_item_is_selected(item)  ? state::selected
                                                                   : state::enabled;
    const char group = webkit_option_menu_item_is_group_child(item) ? state::inGroup : state::alone;
    return std::string{kind, group} + text(webkit_option_menu_item_get_label(item));
}

void forgetOptionMenu()
{
    if (!helper.optionMenu)
        return;
    g_signal_handlers_disconnect_by_data(helper.optionMenu, &helper.optionMenu);
    g_object_unref(helper.optionMenu);
    helper.optionMenu = nullptr;
}

gboolean onShowOptionMenu(WebKitWebView *, WebKitOptionMenu *menu, GdkEvent *, GdkRectangle *area, gpointer)
{
    if (helper.optionMenu)
        webkit_option_menu_close(helper.optionMenu);
    forgetOptionMenu();
    helper.optionMenu = WEBKIT_OPTION_MENU(g_object_ref(menu));
    // The page closes its list itself when it goes away or changes it.
    g_signal_connect(menu, "close", G_CALLBACK(+[](WebKitOptionMenu *, gpointer) {
                         forgetOptionMenu();
                         send(msg::toBrowser::closeOptionMenu);
                     }), &helper.optionMenu);
    std::vector<std::string> fields{std::to_string(area->x), std::to_string(area->y), std::to_string(area->width),
                                    std::to_string(area->height)};
    for (guint index = 0; index < webkit_option_menu_get_n_items(menu); ++index)
        fields.push_back(optionItem(webkit_option_menu_get_item(menu, index)));
    send(msg::toBrowser::optionMenu, std::move(fields));
    return TRUE;
}

void chooseOption(const msg::Message &message)
{
    WebKitOptionMenu *menu = helper.optionMenu;
    if (!menu)
        return;
    g_signal_handlers_disconnect_by_data(menu, &helper.optionMenu);
    const std::string &index = message.field(0);
    if (!index.empty() && std::stoul(index) < webkit_option_menu_get_n_items(menu))
        webkit_option_menu_activate_item(menu, guint(std::stoul(index)));
    webkit_option_menu_close(menu);
    g_object_unref(menu);
    helper.optionMenu = nullptr;
}

std::string hexColor(const GdkRGBA &color)
{
    char hex[8];
    g_snprintf(hex, sizeof hex, "#%02x%02x%02x", int(color.red * 255 + 0.5), int(color.green * 255 + 0.5),
               int(color.blue * 255 + 0.5));
    return hex;
}

void finishColorRequest(const std::string &color)
{
    WebKitColorChooserRequest *request = helper.colorRequest;
    if (!request)
        return;
    helper.colorRequest = nullptr;
    GdkRGBA chosen;
    if (!color.empty() && gdk_rgba_parse(&chosen, color.c_str())) {
        webkit_color_chooser_request_set_rgba(request, &chosen);
        webkit_color_chooser_request_finish(request);
    } else {
        webkit_color_chooser_request_cancel(request);
    }
    g_object_unref(request);
}

gboolean onRunColorChooser(WebKitWebView *, WebKitColorChooserRequest *request, gpointer)
{
    finishColorRequest("");
    helper.colorRequest = WEBKIT_COLOR_CHOOSER_REQUEST(g_object_ref(request));
    GdkRGBA current;
    webkit_color_chooser_request_get_rgba(request, &current);
    send(msg::toBrowser::colorChooser, {hexColor(current)});
    return TRUE;
}

void finishFileRequest(const msg::Message &message)
{
    WebKitFileChooserRequest *request = helper.fileRequest;
    if (!request)
        return;
    helper.fileRequest = nullptr;
    if (message.fields.empty()) {
        webkit_file_chooser_request_cancel(request);
    } else {
        std::vector<const gchar *> paths;
        for (const std::string &path : message.fields)
            paths.push_back(path.c_str());
        paths.push_back(nullptr);
        webkit_file_chooser_request_select_files(request, paths.data());
    }
    g_object_unref(request);
}

gboolean onRunFileChooser(WebKitWebView *, WebKitFileChooserRequest *request, gpointer)
{
    finishFileRequest({});
    helper.fileRequest = WEBKIT_FILE_CHOOSER_REQUEST(g_object_ref(request));
    send(msg::toBrowser::fileChooser, {webkit_file_chooser_request_get_select_multiple(request) ? "1" : "0"});
    return TRUE;
}

void closePopups()
{
    if (helper.optionMenu)
        chooseOption({msg::toHelper::chooseOption, {""}});
    finishColorRequest("");
    finishFileRequest({});
}

// New windows, downloads, permissions, the menu

std::vector<std::string> historyCurrentFirst()
{
    std::vector<std::string> addresses;
    WebKitBackForwardList *list = webkit_web_view_get_back_forward_list(helper.view);
    if (WebKitBackForwardListItem *current = webkit_back_forward_list_get_current_item(list))
        addresses.push_back(text(webkit_back_forward_list_item_get_uri(current)));
    GList *back = webkit_back_forward_list_get_back_list(list);
    for (GList *item = back; item; item = item->next)
        addresses.push_back(text(webkit_back_forward_list_item_get_uri(WEBKIT_BACK_FORWARD_LIST_ITEM(item->data))));
    g_list_free(back);
    return addresses;
}

GtkWidget *onCreate(WebKitWebView *, WebKitNavigationAction *action, gpointer)
{
    WebKitURIRequest *request = webkit_navigation_action_get_request(action);
    const std::string address = text(webkit_uri_request_get_uri(request));
    if (address.empty() || address == "about:blank")
        return nullptr;
    std::vector<std::string> fields{address};
    for (std::string &saved : historyCurrentFirst())
        fields.push_back(std::move(saved));
    send(msg::toBrowser::newWindow, std::move(fields));
    // The new window's content replaces this page.
    webkit_web_view_load_uri(helper.view, address.c_str());
    return nullptr;
}

gboolean onDecidePolicy(WebKitWebView *, WebKitPolicyDecision *decision, WebKitPolicyDecisionType type, gpointer)
{
    if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE)
        return FALSE;
    auto *response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    if (webkit_response_policy_decision_is_mime_type_supported(response)
        || !webkit_response_policy_decision_is_main_frame_main_resource(response))
        return FALSE;
    // The host fetches the file; the engine's own download never starts.
    send(msg::toBrowser::download, {text(webkit_uri_request_get_uri(webkit_response_policy_decision_get_request(response)))});
    webkit_policy_decision_ignore(decision);
    return TRUE;
}

void onDownloadStarted(WebKitWebContext *, WebKitDownload *download, gpointer)
{
    send(msg::toBrowser::download, {text(webkit_uri_request_get_uri(webkit_download_get_request(download)))});
    webkit_download_cancel(download);
}

const char *permissionName(WebKitPermissionRequest *request)
{
    if (WEBKIT_IS_GEOLOCATION_PERMISSION_REQUEST(request))
        return "location";
    if (WEBKIT_IS_NOTIFICATION_PERMISSION_REQUEST(request))
        return "notifications";
    if (WEBKIT_IS_USER_MEDIA_PERMISSION_REQUEST(request)) {
        auto *media = WEBKIT_USER_MEDIA_PERMISSION_REQUEST(request);
        if (webkit_user_media_permission_is_for_display_device(media))
            return "screen";
        const bool audio = webkit_user_media_permission_is_for_audio_device(media);
        const bool video = webkit_user_media_permission_is_for_video_device(media);
        return audio && video ? "camera and microphone" : video ? "camera" : "microphone";
    }
    return "a feature";
}

gboolean onPermissionRequest(WebKitWebView *, WebKitPermissionRequest *request, gpointer)
{
    send(msg::toBrowser::permission, {permissionName(request), currentAddress()});
    webkit_permission_request_deny(request);
    return TRUE;
}

gboolean onContextMenu(WebKitWebView *, WebKitContextMenu *, GdkEvent *, WebKitHitTestResult *hit, gpointer)
{
    const bool onLink = webkit_hit_test_result_context_is_link(hit);
    helper.menuImage = webkit_hit_test_result_context_is_image(hit) ? text(webkit_hit_test_result_get_image_uri(hit)) : "";
    send(msg::toBrowser::contextMenu,
         {onLink ? text(webkit_hit_test_result_get_link_uri(hit)) : "",
          webkit_hit_test_result_context_is_selection(hit) ? "1" : "0",
          webkit_hit_test_result_context_is_image(hit) ? "1" : "0"});
    // The browser's own menu, never the engine's.
    return TRUE;
}

void onWebProcessTerminated(WebKitWebView *, WebKitWebProcessTerminationReason reason, gpointer)
{
    cancelPendingDialogs();
    closePopups();
    const char *why = reason == WEBKIT_WEB_PROCESS_CRASHED              ? "crashed"
                      : reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT ? "memory"
                                                                           : "terminated";
    send(msg::toBrowser::crashed, {why});
}

// Find

// One past the counted limit, so the window can say there are more.
constexpr guint maxFindCount = 1001;

void reportFind()
{
    send(msg::toBrowser::findResult, {std::to_string(helper.findCurrent), std::to_string(helper.findTotal)});
}

void onCountedMatches(WebKitFindController *, guint count, gpointer)
{
    // Past the limit the engine answers with the largest count it has.
    helper.findTotal = int(std::min<guint>(count, maxFindCount));
    if (helper.findText.empty())
        return;
    if (count == 0)
        helper.findCurrent = 0;
    else if (helper.findCurrent == 0 || helper.findCurrent > int(count))
        helper.findCurrent = helper.findDirection < 0 ? int(count) : 1;
    reportFind();
}

void find(const std::string &what, const std::string &step)
{
    WebKitFindController *finder = webkit_web_view_get_find_controller(helper.view);
    helper.findText = what;
    if (what.empty()) {
        webkit_find_controller_search_finish(finder);
        helper.findCurrent = helper.findTotal = 0;
        reportFind();
        return;
    }
    const guint options = WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE | WEBKIT_FIND_OPTIONS_WRAP_AROUND;
    if (step == "restart" || webkit_find_controller_get_search_text(finder) == nullptr) {
        helper.findCurrent = 0;
        helper.findDirection = 1;
        webkit_find_controller_search(finder, what.c_str(), options, maxFindCount);
        webkit_find_controller_count_matches(finder, what.c_str(), options, maxFindCount);
        return;
    }
    const int direction = step == "previous" ? -1 : 1;
    helper.findDirection = direction;
    if (direction > 0)
        webkit_find_controller_search_next(finder);
    else
        webkit_find_controller_search_previous(finder);
    if (helper.findTotal > 0)
        helper.findCurrent = (helper.findCurrent - 1 + direction + helper.findTotal) % helper.findTotal + 1;
    reportFind();
}

// The browser's own pages (its start page) live in its resources

void onResourceRequest(WebKitURISchemeRequest *request, gpointer)
{
    const unsigned id = helper.nextDialogId++;
    helper.pendingResources[id] = WEBKIT_URI_SCHEME_REQUEST(g_object_ref(request));
    send(msg::toBrowser::resource, {std::to_string(id), text(webkit_uri_scheme_request_get_path(request))});
}

void answerResource(const msg::Message &message)
{
    const auto found = helper.pendingResources.find(unsigned(std::stoul("0" + message.field(0))));
    if (found == helper.pendingResources.end())
        return;
    WebKitURISchemeRequest *request = found->second;
    helper.pendingResources.erase(found);
    if (message.field(1).empty()) {
        GError *error = g_error_new_literal(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "no such resource");
        webkit_uri_scheme_request_finish_error(request, error);
        g_error_free(error);
    } else {
        const std::string &bytes = message.field(2);
        GInputStream *stream = g_memory_input_stream_new_from_data(g_memdup2(bytes.data(), bytes.size()),
                                                                   gssize(bytes.size()), g_free);
        webkit_uri_scheme_request_finish(request, stream, gint64(bytes.size()), message.field(1).c_str());
        g_object_unref(stream);
    }
    g_object_unref(request);
}

// The token travels to the web process extension, which puts it on requests

GVariant *tokenParameters()
{
    return g_variant_new("(sss)", helper.tokenHeader.c_str(), helper.token.c_str(), helper.trust.c_str());
}

void onInitializeWebExtensions(WebKitWebContext *context, gpointer)
{
    // A web process started later (after a crash, say) learns the token here,
    // and so does the first one, which WebKit starts only for the host's
    // first address: a message announcing that address finds no process yet.
    webkit_web_context_set_web_extensions_initialization_user_data(
        context, g_variant_new("(@(sss)s)", tokenParameters(), helper.hostNavigation.c_str()));
}

void sendTokenToExtensions()
{
    webkit_web_context_send_message_to_all_extensions(helper.context,
                                                      webkit_user_message_new("token", tokenParameters()));
}

void setToken(const msg::Message &message)
{
    helper.tokenHeader = message.field(0);
    helper.token = message.field(1);
    sendTokenToExtensions();
}

void setTrust(const msg::Message &message)
{
    helper.trust.clear();
    if (message.field(0) == "1") {
        for (size_t index = 0; index < message.fields.size(); ++index)
            helper.trust += (index ? "\n" : "") + message.field(index);
    }
    sendTokenToExtensions();
}

void setStrictCertificates(const msg::Message &message)
{
    helper.strictCertificates = true;
    helper.passingCertificates = std::set<std::string>(message.fields.begin(), message.fields.end());
    WebKitWebsiteDataManager *data = webkit_web_context_get_website_data_manager(helper.context);
    webkit_website_data_manager_set_tls_errors_policy(data, WEBKIT_TLS_ERRORS_POLICY_FAIL);
}

// The extension tells the host's own navigation from one a page started.
void announceHostNavigation(const std::string &address)
{
    helper.hostNavigation = address;
    webkit_web_context_send_message_to_all_extensions(
        helper.context, webkit_user_message_new("hostNavigation", g_variant_new("(s)", address.c_str())));
}

// Copying. GTK's clipboard on this compositor does not reach the browser's,
// so what is copied travels as a message.

const char *const selectedText = "window.getSelection().toString()";

// The image's pixels as a PNG data address, or "" (an image of another
// origin cannot be read back).
const char *const imagePixels = R"((function (source) {
    var image = Array.prototype.find.call(document.images, function (i) {
        return i.currentSrc === source || i.src === source;
    });
    if (!image || !image.naturalWidth)
        return '';
    var canvas = document.createElement('canvas');
    canvas.width = image.naturalWidth;
    canvas.height = image.naturalHeight;
    canvas.getContext('2d').drawImage(image, 0, 0);
    try { return canvas.toDataURL('image/png'); } catch (e) { return ''; }
}))";

void copy(const std::string &script, const char *type)
{
    webkit_web_view_evaluate_javascript(
        helper.view, script.c_str(), -1, nullptr, nullptr, nullptr,
        [](GObject *view, GAsyncResult *result, gpointer data) {
            const char *type = static_cast<const char *>(data);
            JSCValue *value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, nullptr);
            if (!value)
                return;
            gchar *copiedText = jsc_value_is_string(value) ? jsc_value_to_string(value) : nullptr;
            std::string bytes = text(copiedText);
            g_free(copiedText);
            g_object_unref(value);
            if (std::string(type) == "image/png") {
                const std::string prefix = "data:image/png;base64,";
                bytes = bytes.compare(0, prefix.size(), prefix) == 0 ? msg::fromBase64(bytes.substr(prefix.size())) : "";
            }
            if (!bytes.empty())
                send(msg::toBrowser::copied, {type, bytes});
        },
        const_cast<char *>(type));
}

void copyImage()
{
    if (helper.menuImage.empty())
        return;
    gchar *quoted = g_strescape(helper.menuImage.c_str(), nullptr);
    copy(std::string(imagePixels) + "('" + quoted + "')", "image/png");
    g_free(quoted);
}

// The browser's watchdog: a page whose script never yields cannot answer

void ping(const std::string &id)
{
    auto *pingId = new std::string(id);
    webkit_web_view_evaluate_javascript(
        helper.view, "0", -1, nullptr, nullptr, nullptr,
        [](GObject *view, GAsyncResult *result, gpointer data) {
            std::unique_ptr<std::string> answered(static_cast<std::string *>(data));
            if (JSCValue *value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, nullptr))
                g_object_unref(value);
            send(msg::toBrowser::pong, {*answered});
        },
        pingId);
}

// Developer tools, always in a window of their own: docked in the page they
// would cover it, and the browser shows each window of the helper by itself.
// WebKit docks them in a large enough view once they have loaded, so they
// are taken out again as soon as it has.
gboolean detachInspector(gpointer inspector)
{
    webkit_web_inspector_detach(WEBKIT_WEB_INSPECTOR(inspector));
    return G_SOURCE_REMOVE;
}

void showInspector()
{
    WebKitWebInspector *inspector = webkit_web_view_get_inspector(helper.view);
    static bool undocks = false;
    if (!undocks) {
        g_signal_connect(inspector, "attach", G_CALLBACK(+[](WebKitWebInspector *docked, gpointer) {
                             g_idle_add(detachInspector, docked);
                             return FALSE;
                         }),
                         nullptr);
        undocks = true;
    }
    webkit_web_inspector_show(inspector);
}

// The browser's messages

// A link with the download attribute would go to WebKit's own download,
// whose request no page hook sees (so it would go without the token): it is
// handed to the browser before WebKit starts one.
const char *const downloadLinks = R"((function () {
    document.addEventListener('click', function (event) {
        var link = event.target && event.target.closest ? event.target.closest('a[download]') : null;
        if (!link || !link.href || event.defaultPrevented)
            return;
        event.preventDefault();
        window.webkit.messageHandlers.zuvoDownload.postMessage(link.href);
    }, true);
})();)";

void onDownloadLink(WebKitUserContentManager *, WebKitJavascriptResult *result, gpointer)
{
    JSCValue *value = webkit_javascript_result_get_js_value(result);
    if (!jsc_value_is_string(value))
        return;
    gchar *address = jsc_value_to_string(value);
    send(msg::toBrowser::download, {address});
    g_free(address);
}

void start(const msg::Message &message)
{
    WebKitSettings *settings = webkit_web_view_get_settings(helper.view);
    webkit_settings_set_user_agent_with_application_details(settings, message.field(0).c_str(), nullptr);
    helper.bridgeMarker = message.field(2);
    webkit_settings_set_enable_developer_extras(settings, message.field(3) == "1");
    WebKitUserContentManager *scripts = webkit_web_view_get_user_content_manager(helper.view);
    webkit_user_content_manager_remove_all_scripts(scripts);
    WebKitUserScript *bridge = webkit_user_script_new(message.field(1).c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                                      WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(scripts, bridge);
    webkit_user_script_unref(bridge);
    WebKitUserScript *downloads = webkit_user_script_new(downloadLinks, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                                         WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(scripts, downloads);
    webkit_user_script_unref(downloads);
}

void handle(const msg::Message &message)
{
    namespace in = msg::toHelper;
    const std::string &name = message.name;
    if (name == in::start) {
        start(message);
    } else if (name == in::prepare) {
        startWarming();
    } else if (name == in::load) {
        cancelPendingDialogs();
        closePopups();
        announceHostNavigation(message.field(0));
        webkit_web_view_load_uri(helper.view, message.field(0).c_str());
    } else if (name == in::token) {
        setToken(message);
    } else if (name == in::trust) {
        setTrust(message);
    } else if (name == in::certificates) {
        setStrictCertificates(message);
    } else if (name == in::showRefusal) {
        showRefusal(message.field(0), message.field(1));
    } else if (name == in::back) {
        webkit_web_view_go_back(helper.view);
    } else if (name == in::zoom) {
        webkit_web_view_set_zoom_level(helper.view, std::stoi("0" + message.field(0)) / 100.0);
    } else if (name == in::find) {
        find(message.field(0), message.field(1));
    } else if (name == in::stopFinding) {
        helper.findText.clear();
        webkit_find_controller_search_finish(webkit_web_view_get_find_controller(helper.view));
    } else if (name == in::bridgeAnswer || name == in::dialogAnswer) {
        answerDialog(message);
    } else if (name == in::copy) {
        copy(selectedText, "text/plain");
    } else if (name == in::copyImage) {
        copyImage();
    } else if (name == in::inspect) {
        showInspector();
    } else if (name == in::resource) {
        answerResource(message);
    } else if (name == in::ping) {
        ping(message.field(0));
    } else if (name == in::chooseOption) {
        chooseOption(message);
    } else if (name == in::chooseColor) {
        finishColorRequest(message.field(0));
    } else if (name == in::chooseFiles) {
        finishFileRequest(message);
    } else if (name == in::terminate) {
        webkit_web_view_terminate_web_process(helper.view);
    }
}

gboolean onChannelReadable(GIOChannel *channel, GIOCondition, gpointer)
{
    char buffer[65536];
    const ssize_t n = read(g_io_channel_unix_get_fd(channel), buffer, sizeof buffer);
    if (n <= 0) {
        // The browser has ended: so does its page, at once.
        endWithPage();
    }
    for (const msg::Message &message : helper.framer.append(buffer, size_t(n)))
        handle(message);
    return TRUE;
}

// Setup

// WebKit's UI process opens a GL display although nothing here draws with GL
// (the page is drawn in software into shared memory), and so loads the GL
// driver: on a machine without a GPU, a software one with its compiler, some
// 30 MB. The GL dispatch library reads its list of drivers once, at its first
// call: made now with an empty list, this process keeps none, while the page
// processes, started later with the environment as it was, draw WebGL as
// before. Where libEGL is not that dispatcher the variable means nothing.
void keepGlDriverOut()
{
    const char *const driverFiles = "__EGL_VENDOR_LIBRARY_FILENAMES";
    const char *const given = std::getenv(driverFiles);
    const std::string saved = given ? given : "";
    setenv(driverFiles, "/nonexistent", 1);
    using QueryString = const char *(*)(void *display, int name);
    const int clientExtensions = 0x3055; // EGL_EXTENSIONS
    if (void *egl = dlopen("libEGL.so.1", RTLD_NOW | RTLD_GLOBAL)) {
        if (auto query = reinterpret_cast<QueryString>(dlsym(egl, "eglQueryString")))
            query(nullptr, clientExtensions);
    }
    if (given)
        setenv(driverFiles, saved.c_str(), 1);
    else
        unsetenv(driverFiles);
}

void configureContext(const char *extensionFolder, bool sandbox)
{
    helper.context = webkit_web_context_new_ephemeral();
    if (extensionFolder && *extensionFolder) {
        helper.extensionFolder = extensionFolder;
        webkit_web_context_set_web_extensions_directory(helper.context, extensionFolder);
    }
    // Before the view exists, which starts the first page process; the
    // extension must be reachable from inside.
    if (sandbox) {
        webkit_web_context_set_sandbox_enabled(helper.context, TRUE);
        if (!helper.extensionFolder.empty())
            webkit_web_context_add_path_to_sandbox(helper.context, helper.extensionFolder.c_str(), TRUE);
    }
    WebKitWebsiteDataManager *data = webkit_web_context_get_website_data_manager(helper.context);
    // Certificate problems never stop a load, as in the browser's other engines.
    webkit_website_data_manager_set_tls_errors_policy(data, WEBKIT_TLS_ERRORS_POLICY_IGNORE);
    webkit_web_context_set_cache_model(helper.context, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
    g_signal_connect(helper.context, "initialize-web-extensions", G_CALLBACK(onInitializeWebExtensions), nullptr);
    webkit_web_context_register_uri_scheme(helper.context, "qrc", onResourceRequest, nullptr, nullptr);
    g_signal_connect(helper.context, "download-started", G_CALLBACK(onDownloadStarted), nullptr);
}

void createView()
{
    WebKitSettings *settings = webkit_settings_new();
    // Drawn in software into shared memory the browser paints: faster and
    // smaller here than GL through a software rasteriser.
    webkit_settings_set_hardware_acceleration_policy(settings, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    // A new window opens in this one, as on the browser's other engines.
    webkit_settings_set_javascript_can_open_windows_automatically(settings, TRUE);
    helper.view = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", helper.context, "settings",
                                               settings, nullptr));
    g_object_unref(settings);

    g_signal_connect(helper.view, "load-changed", G_CALLBACK(onLoadChanged), nullptr);
    g_signal_connect(helper.view, "load-failed", G_CALLBACK(onLoadFailed), nullptr);
    g_signal_connect(helper.view, "load-failed-with-tls-errors", G_CALLBACK(onTlsError), nullptr);
    g_signal_connect(helper.view, "script-dialog", G_CALLBACK(onScriptDialog), nullptr);
    g_signal_connect(helper.view, "create", G_CALLBACK(onCreate), nullptr);
    g_signal_connect(helper.view, "decide-policy", G_CALLBACK(onDecidePolicy), nullptr);
    g_signal_connect(helper.view, "permission-request", G_CALLBACK(onPermissionRequest), nullptr);
    g_signal_connect(helper.view, "context-menu", G_CALLBACK(onContextMenu), nullptr);
    g_signal_connect(helper.view, "web-process-terminated", G_CALLBACK(onWebProcessTerminated), nullptr);
    g_signal_connect(helper.view, "show-option-menu", G_CALLBACK(onShowOptionMenu), nullptr);
    g_signal_connect(helper.view, "run-color-chooser", G_CALLBACK(onRunColorChooser), nullptr);
    g_signal_connect(helper.view, "run-file-chooser", G_CALLBACK(onRunFileChooser), nullptr);
    g_signal_connect(helper.view, "notify::title", G_CALLBACK(+[](GObject *, GParamSpec *, gpointer) {
                         send(msg::toBrowser::title, {text(webkit_web_view_get_title(helper.view))});
                     }), nullptr);
    g_signal_connect(helper.view, "notify::uri", G_CALLBACK(+[](GObject *, GParamSpec *, gpointer) {
                         send(msg::toBrowser::url, {currentAddress()});
                     }), nullptr);
    WebKitUserContentManager *scripts = webkit_web_view_get_user_content_manager(helper.view);
    webkit_user_content_manager_register_script_message_handler(scripts, "zuvoDownload");
    g_signal_connect(scripts, "script-message-received::zuvoDownload", G_CALLBACK(onDownloadLink), nullptr);
    WebKitFindController *finder = webkit_web_view_get_find_controller(helper.view);
    g_signal_connect(finder, "counted-matches", G_CALLBACK(onCountedMatches), nullptr);

    helper.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    // The browser's window has the title bar; this one is only the page.
    gtk_window_set_decorated(GTK_WINDOW(helper.window), FALSE);
    gtk_container_add(GTK_CONTAINER(helper.window), GTK_WIDGET(helper.view));
    gtk_widget_show_all(helper.window);
}

} // namespace

int main(int argc, char *argv[])
{
    // The browser's end ends the page, even when it could not say so.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() == 1)
        return 0;
    g_unix_signal_add(SIGTERM, +[](gpointer) -> gboolean { endWithPage(); }, nullptr);
    // The channel is this process's alone: WebKit's processes inherit
    // neither end, so it closes when this one ends. Whatever a library
    // prints goes to stderr, never into the channel.
    helper.channelIn = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
    helper.channelOut = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    const int nothing = open("/dev/null", O_RDONLY | O_CLOEXEC);
    dup2(nothing, STDIN_FILENO);
    close(nothing);
    dup2(STDERR_FILENO, STDOUT_FILENO);

    // The browser's compositor, named by "--display", whatever display the
    // desktop offers WebKit's own processes.
    gdk_set_allowed_backends("wayland");
    keepGlDriverOut();
    gtk_init(&argc, &argv);
    configureContext(argc > 1 ? argv[1] : nullptr, argc > 2 && g_strcmp0(argv[2], "sandbox") == 0);
    createView();

    GIOChannel *channel = g_io_channel_unix_new(helper.channelIn);
    g_io_add_watch(channel, GIOCondition(G_IO_IN | G_IO_HUP | G_IO_ERR), onChannelReadable, nullptr);
    send(msg::toBrowser::ready, {std::to_string(getpid())});
    gtk_main();
    return 0;
}
