#pragma once

#include <QString>
#include <QUrl>

class BridgeOrigins;
class ZuvoJsBridge;

// The bridge for engines whose page runs in another process and can call
// back into this one synchronously only through its own dialogs: a page
// script offers window.zuvowebkitbridge, and its calls arrive as prompts
// with a marker that this answers with the window's ZuvoJsBridge.
namespace bridgeprompt {

// Nothing a page would put into a prompt of its own by chance.
QString marker();

// Runs before any script of the page, in the main frame only.
QString pageScript();

// One marked prompt, its marker taken off: the document at documentUrl,
// loaded for requestedUrl, calls `call` with argument. False when the call
// gets no answer (the page then sees its prompt cancelled).
bool answer(BridgeOrigins &origins, ZuvoJsBridge *bridge, const QUrl &requestedUrl, const QUrl &documentUrl,
            const QString &call, const QString &argument, QString *result);

} // namespace bridgeprompt
