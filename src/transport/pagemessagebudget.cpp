#include "pagemessagebudget.h"

PageMessageBudget::Verdict PageMessageBudget::admit(qint64 textBytes, qint64 unsentBytes, qint64 nowMs)
{
    const Verdict verdict = judge(textBytes, unsentBytes, nowMs);
    if (verdict != Verdict::Send) {
        countDrop(verdict);
        return verdict;
    }
    ++_messagesThisSecond;
    _bytesThisSecond += textBytes;
    return verdict;
}

PageMessageBudget::Verdict PageMessageBudget::judge(qint64 textBytes, qint64 unsentBytes, qint64 nowMs)
{
    if (textBytes > maxMessageBytes)
        return Verdict::TooLong;
    if (unsentBytes > maxUnsentBytes)
        return Verdict::HostBehind;
    if (!_secondStarted || nowMs - _secondStartMs >= 1000) {
        _secondStarted = true;
        _secondStartMs = nowMs;
        _messagesThisSecond = 0;
        _bytesThisSecond = 0;
    }
    if (_messagesThisSecond >= maxMessagesPerSecond || _bytesThisSecond + textBytes > maxBytesPerSecond)
        return Verdict::OverRate;
    return Verdict::Send;
}

void PageMessageBudget::countDrop(Verdict verdict)
{
    switch (verdict) {
    case Verdict::TooLong:
        ++_drops.tooLong;
        break;
    case Verdict::OverRate:
        ++_drops.overRate;
        break;
    case Verdict::HostBehind:
        ++_drops.hostBehind;
        break;
    case Verdict::Send:
        break;
    }
}

void PageMessageBudget::startNewDocument()
{
    _secondStarted = false;
}

PageMessageBudget::Drops PageMessageBudget::takeDrops()
{
    const Drops drops = _drops;
    _drops = Drops();
    return drops;
}

qint64 PageMessageBudget::utf8Length(const QString &text)
{
    qint64 bytes = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar unit = text.at(i);
        if (unit.unicode() < 0x80) {
            bytes += 1;
        } else if (unit.unicode() < 0x800) {
            bytes += 2;
        } else if (unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            bytes += 4;
            ++i;
        } else {
            bytes += 3;
        }
    }
    return bytes;
}
