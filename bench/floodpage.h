#pragma once

#include <QByteArray>

// Pages for the flood of the host link, shared by its test and its benchmark.
namespace floodpage {

// Floods the bridge for `seconds` (query, default 10) in 50 ms slices, so the
// window and its timers keep running as under any page that yields. Every
// round posts one log of each size in `sizes` (bytes, comma-separated) and
// `messages` (default 1) channel requests padded to 1 MiB. A second and a half
// after the flood, with a fresh second of budget, it logs "flood over".
inline QByteArray floodPage()
{
    return QByteArrayLiteral(R"page(<!doctype html><html><head><title>flood</title></head>
<body style="margin:0;background:#ffffff"><script>
function param(name, fallback) {
    var match = new RegExp('[?&]' + name + '=([0-9,]+)').exec(location.search);
    return match ? match[1] : fallback;
}
function text(bytes) { return new Array(bytes + 1).join('x'); }
var seconds = +param('seconds', '10');
var messages = +param('messages', '1');
var logs = param('sizes', '1048576,61440,100').split(',').map(function (size) { return text(+size); });
var channelRequest = JSON.stringify({ action: 'go_to_channel_info', data: 'flood', padding: text(1048576) });
function flood(bridge, end) {
    var sliceEnd = Math.min(Date.now() + 50, end);
    while (Date.now() < sliceEnd) {
        for (var i = 0; i < logs.length; ++i)
            bridge.postLog(logs[i]);
        for (var j = 0; j < messages; ++j)
            bridge.postMessage(channelRequest);
    }
    if (Date.now() < end)
        setTimeout(function () { flood(bridge, end); }, 0);
    else
        setTimeout(function () { bridge.postLog('flood over'); }, 1500);
}
function start() {
    var bridge = window.zuvowebkitbridge;
    if (!bridge) { setTimeout(start, 20); return; }
    flood(bridge, Date.now() + seconds * 1000);
}
start();
</script></body></html>)page");
}

// Logs "idle" once, when the bridge is there.
inline QByteArray idlePage()
{
    return QByteArrayLiteral(R"page(<!doctype html><html><head><title>idle</title></head>
<body style="margin:0;background:#ffffff"><script>
function start() {
    var bridge = window.zuvowebkitbridge;
    if (!bridge) { setTimeout(start, 20); return; }
    bridge.postLog('idle');
}
start();
</script></body></html>)page");
}

} // namespace floodpage
