#pragma once

#include <QString>

class ModelItemFile;

// A byte count in tenths of B, KB, MB or GB, cut off rather than rounded.
QString formatSizeTextEx(quint64 size);

// What a record's state is called, in the host's words where it gave any.
QString downloadStateText(const ModelItemFile &file);

// One sentence for screen readers: name, state, then percentage or size.
QString accessibleText(const ModelItemFile &file);

// The speed of one download, from the offsets the polls bring, smoothed so
// that the estimate does not jump with every reply.
class DownloadRate
{
public:
    void sample(quint64 offset, qint64 msecs);
    bool known() const { return _bytesPerSecond >= 0; }
    double bytesPerSecond() const { return _bytesPerSecond; }

private:
    quint64 _offset = 0;
    qint64 _time = -1;
    double _bytesPerSecond = -1;
};

// Name and state; while downloading also bytes of size, speed and time left.
QString downloadToolTip(const ModelItemFile &file, const DownloadRate *rate);
