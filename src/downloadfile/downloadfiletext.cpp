#include "downloadfiletext.h"

#include "modelitem.h"
#include "zuvochatwbconfigure.h"

#include <QCoreApplication>
#include <QStringList>

#include <cmath>

namespace {

// The panel's words, translated under the panel's name.
struct PanelText {
    Q_DECLARE_TR_FUNCTIONS(DownloadFileTree)
};

// Weight of the newest observation; about the last three polls count.
const double kSmoothing = 0.3;

QString durationText(double seconds)
{
    const qint64 whole = qint64(std::ceil(seconds));
    if (whole < 60)
        return PanelText::tr("%1 s").arg(whole);
    if (whole < 3600)
        return PanelText::tr("%1 min %2 s").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
    return PanelText::tr("%1 h %2 min").arg(whole / 3600).arg(whole / 60 % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QString downloadStateText(const ModelItemFile &file)
{
    switch (file.status()) {
    case ModelItemFile::ModelItemStatusDownloading:
        return PanelText::tr("Downloading");
    case ModelItemFile::ModelItemStatusReady:
        return file.fileExists() ? ZuvoChatWBConfigure::WebFileSuccessText()
                                 : ZuvoChatWBConfigure::WebFileMissedText();
    case ModelItemFile::ModelItemStatusFailed:
        return ZuvoChatWBConfigure::WebFileFailedText();
    case ModelItemFile::ModelItemStatusAdded:
        break;
    }
    return PanelText::tr("Waiting");
}

QString accessibleText(const ModelItemFile &file)
{
    QStringList parts{file.name(), downloadStateText(file)};
    const QString amount = file.status() == ModelItemFile::ModelItemStatusDownloading ? file.downloadOffsetText()
                                                                                        : file.fileSizeText();
    if (!amount.isEmpty())
        parts << amount;
    return parts.join(QStringLiteral(", "));
}

void DownloadRate::sample(quint64 offset, qint64 msecs)
{
    if (_time >= 0 && offset < _offset) {
        // Started over: the old speed says nothing about the new transfer.
        _bytesPerSecond = -1;
    } else if (_time >= 0 && msecs > _time) {
        const double instant = double(offset - _offset) * 1000.0 / double(msecs - _time);
        _bytesPerSecond = known() ? kSmoothing * instant + (1 - kSmoothing) * _bytesPerSecond : instant;
    }
    _offset = offset;
    _time = msecs;
}

QString downloadToolTip(const ModelItemFile &file, const DownloadRate *rate)
{
    QStringList lines{file.name(), downloadStateText(file)};
    if (file.status() != ModelItemFile::ModelItemStatusDownloading)
        return lines.join(QLatin1Char('\n'));
    const QString received = formatSizeTextEx(file.downloadOffset());
    //: Bytes received so far, of the file's size
    lines << (file.fileSize() > 0 ? PanelText::tr("%1 of %2").arg(received, file.fileSizeText()) : received);
    if (rate && rate->known()) {
        lines << PanelText::tr("%1/s").arg(formatSizeTextEx(quint64(rate->bytesPerSecond())));
        if (rate->bytesPerSecond() > 0 && file.fileSize() > file.downloadOffset())
            lines << PanelText::tr("%1 left").arg(durationText(double(file.fileSize() - file.downloadOffset()) /
                                                    rate->bytesPerSecond()));
    }
    return lines.join(QLatin1Char('\n'));
}
