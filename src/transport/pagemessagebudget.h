#pragma once

#include <QString>

// What pages may send the host. Any page gets the bridge, and the link is the
// host's control channel, not a pipe for page data: a page's text is capped
// per message, per second and while the host is not reading, so neither the
// host nor this process grows with a page's loop. The window's own messages
// never ask here; they always queue.
class PageMessageBudget
{
public:
    static constexpr qint64 maxMessageBytes = 64 * 1024;
    static constexpr int maxMessagesPerSecond = 256;
    static constexpr qint64 maxBytesPerSecond = 1024 * 1024;
    static constexpr qint64 maxUnsentBytes = 8 * 1024 * 1024;

    enum class Verdict { Send, TooLong, OverRate, HostBehind };

    struct Drops {
        int tooLong = 0;
        int overRate = 0;
        int hostBehind = 0;
        int total() const { return tooLong + overRate + hostBehind; }
    };

    // Counted, not converted: a page's text may be megabytes that are then dropped.
    static qint64 utf8Length(const QString &text);

    // textBytes: the page's text in UTF-8; unsentBytes: what already waits on
    // the link; nowMs: any monotonic clock. A message that may be sent is
    // charged to the current second; a dropped one is counted instead.
    Verdict admit(qint64 textBytes, qint64 unsentBytes, qint64 nowMs);
    // A new document: its messages start from a full budget.
    void startNewDocument();
    // The drops since the last call.
    Drops takeDrops();

private:
    Verdict judge(qint64 textBytes, qint64 unsentBytes, qint64 nowMs);
    void countDrop(Verdict verdict);

    qint64 _secondStartMs = 0;
    bool _secondStarted = false;
    int _messagesThisSecond = 0;
    qint64 _bytesThisSecond = 0;
    Drops _drops;
};
