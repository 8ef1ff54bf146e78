#pragma once

#include <string>
#include <vector>

// What the browser and its WebKitGTK helper say to each other, declared once
// for both sides. Plain C++, so the helper needs no Qt and the browser no GLib.
//
// On the wire a message looks like the host link's:
//     NAME ":" BASE64(FIELD) ":" BASE64(FIELD) ... ";"
// so no field can hold a separator, whatever the page puts into it.
namespace helpermessages {

// Browser to helper.
namespace toHelper {
constexpr const char *load = "load";                  // address
constexpr const char *prepare = "prepare";            // starts a page process ahead of the first address
constexpr const char *start = "start";                // user agent application name, bridge script, bridge marker, "1" for developer tools
constexpr const char *token = "token";                // header name, sendable token ("" for none)
constexpr const char *trust = "trust";                // "1" when the host's trusted origins are in force, then the patterns
constexpr const char *certificates = "certificates";  // strict from now on: the fingerprints that pass (SHA-256, hex)
constexpr const char *back = "back";                  //
constexpr const char *zoom = "zoom";                  // percent
constexpr const char *find = "find";                  // text, "restart" | "next" | "previous"
constexpr const char *stopFinding = "stopFinding";    //
constexpr const char *bridgeAnswer = "bridgeAnswer";  // call id, answered "1" | "0", text
constexpr const char *dialogAnswer = "dialogAnswer";  // dialog id, accepted "1" | "0", text
constexpr const char *allowBridge = "allowBridge";    // origins, one per field, "" when none
constexpr const char *copy = "copy";                  // the page's selection, answered with "copied"
constexpr const char *copyImage = "copyImage";        // the image the menu was opened on, answered with "copied"
constexpr const char *inspect = "inspect";            //
constexpr const char *resource = "resource";          // request id, mime type, bytes; no type when missing
constexpr const char *ping = "ping";                  // ping id: the page answers unless its script never yields
constexpr const char *terminate = "terminate";        // ends the web process; the next load starts another
constexpr const char *showRefusal = "showRefusal";    // page text, the refused address it stands in for
constexpr const char *chooseOption = "chooseOption";  // index of the chosen item, "" when the list closed without one
constexpr const char *chooseColor = "chooseColor";    // "#rrggbb", "" when cancelled
constexpr const char *chooseFiles = "chooseFiles";    // the chosen paths, none when cancelled
} // namespace toHelper

// Helper to browser.
namespace toBrowser {
constexpr const char *ready = "ready";                // helper's pid
constexpr const char *loadStarted = "loadStarted";    //
constexpr const char *loadFinished = "loadFinished";  // "1" | "0", requested address, current address
constexpr const char *title = "title";                // text
constexpr const char *url = "url";                    // address
constexpr const char *canGoBack = "canGoBack";        // "1" | "0", in the page's own history
constexpr const char *bridgeCall = "bridgeCall";      // call id, address the load was started for, document address, call name, argument
constexpr const char *dialog = "dialog";              // dialog id, "alert" | "confirm" | "prompt", document address, text, default text
constexpr const char *download = "download";          // address
constexpr const char *findResult = "findResult";      // current, total
constexpr const char *contextMenu = "contextMenu";    // link, "1" when text is selected, "1" on an image
constexpr const char *newWindow = "newWindow";        // address, then the history: current address first, back to first
constexpr const char *crashed = "crashed";            // "crashed" | "memory" | "terminated" (asked for)
constexpr const char *copied = "copied";              // "text/plain" | "image/png", the bytes
constexpr const char *pong = "pong";                  // ping id
constexpr const char *webProcess = "webProcess";      // pid of the web process showing the page
constexpr const char *resource = "resource";          // request id, path of one of the browser's own qrc: files
constexpr const char *permission = "permission";      // what was refused, document address
constexpr const char *certificateRefused = "certificateRefused"; // address, the failed checks: "expired,otherSite"
// The page's popups, shown by the browser's own widgets.
constexpr const char *optionMenu = "optionMenu";      // x, y, width, height of the list, then its items (see OptionItem)
constexpr const char *closeOptionMenu = "closeOptionMenu"; //
constexpr const char *colorChooser = "colorChooser";  // "#rrggbb"
constexpr const char *fileChooser = "fileChooser";    // "1" when several files may be chosen
} // namespace toBrowser

// An item of a page's select list in one field: its state, whether it is in a
// group, then its label.
namespace OptionItem {
constexpr char groupLabel = 'g';
constexpr char disabled = 'd';
constexpr char selected = 's';
constexpr char enabled = 'e';
constexpr char inGroup = 'c';
constexpr char alone = '-';
} // namespace OptionItem

struct Message {
    std::string name;
    std::vector<std::string> fields;

    const std::string &field(size_t index) const;
    bool operator==(const Message &other) const { return name == other.name && fields == other.fields; }
};

std::string encode(const Message &message);

// Cuts the byte stream into messages; an unfinished tail waits for more.
class Framer
{
public:
    std::vector<Message> append(const char *bytes, size_t size);
    size_t pendingSize() const { return _pending.size(); }

private:
    std::string _pending;
};

std::string toBase64(const std::string &bytes);
// Characters outside the alphabet are skipped.
std::string fromBase64(const std::string &text);

} // namespace helpermessages
