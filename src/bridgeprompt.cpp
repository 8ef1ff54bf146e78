#include "bridgeprompt.h"

#include "bridgeorigins.h"
#include "zuvojsbridge.h"

namespace bridgeprompt {

QString marker()
{
    return QStringLiteral("\u0001zuvowebkitbridge:");
}

QString pageScript()
{
    // The prompt is taken before any script of the page runs, so a page
    // cannot put itself between the bridge and the browser.
    return QStringLiteral(R"((function () {
    var ask = window.prompt.bind(window);
    var call = function (name, argument) {
        var answer = ask('%1' + name, argument === undefined || argument === null ? '' : String(argument));
        return answer === null ? '' : answer;
    };
    if (call('offer') !== '1')
        return;
    var bridge = Object.freeze({
        postMessage: function (msg) { call('postMessage', msg); return true; },
        postLog: function (log) { call('postLog', log); },
        getCurrentUserInfo: function () { return call('getCurrentUserInfo'); }
    });
    Object.defineProperty(window, 'zuvowebkitbridge', { value: bridge });
})();)").arg(marker());
}

bool answer(BridgeOrigins &origins, ZuvoJsBridge *bridge, const QUrl &requestedUrl, const QUrl &documentUrl,
            const QString &call, const QString &argument, QString *result)
{
    if (call == QLatin1String("offer")) {
        origins.settle(requestedUrl, documentUrl);
        *result = origins.isAllowed(documentUrl) ? QStringLiteral("1") : QString();
        return true;
    }
    // A document of another origin never got the bridge; one that writes the
    // marker itself gets nothing from it.
    if (!bridge || !origins.isAllowed(documentUrl))
        return false;
    if (call == QLatin1String("postMessage"))
        bridge->postMessage(argument);
    else if (call == QLatin1String("postLog"))
        bridge->postLog(argument);
    else if (call == QLatin1String("getCurrentUserInfo"))
        *result = bridge->getCurrentUserInfo();
    else
        return false;
    return true;
}

} // namespace bridgeprompt
