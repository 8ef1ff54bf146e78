// Receive-path cost of one large host message: a 16 MiB payload delivered in
// one read against the same bytes in 4 KiB reads, with Base64 decoding of the
// payload alone as the floor. Prints medians of several runs.
#include "median.h"
#include "transport/transport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextStream>

namespace {

constexpr int kPayloadBytes = 16 * 1024 * 1024;
constexpr int kReadBytes = 4096;
constexpr int kRuns = 7;

QByteArray randomPayload(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(42);
    random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}


// The straightforward reading that decodes the whole buffer again at every
// read, kept here only as the figure to compare with.
int naiveFraming(const QByteArray &stream, int readBytes)
{
    QByteArray pending;
    int messages = 0;
    for (int offset = 0; offset < stream.size(); offset += readBytes) {
        pending.append(stream.mid(offset, readBytes));
        QString text = QString::fromLocal8Bit(pending);
        pending.clear();
        const int separator = text.lastIndexOf(QLatin1Char(';'));
        if (separator < 0) {
            pending = text.toLocal8Bit();
            continue;
        }
        pending = text.mid(separator + 1).toLocal8Bit();
        messages += text.left(separator).split(QLatin1Char(';')).size();
    }
    return messages;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    const QByteArray payload = randomPayload(kPayloadBytes);
    const QByteArray encoded = payload.toBase64();
    // A reply the browser decodes fully and then drops (no window is open),
    // so what is measured is framing, splitting and Base64 decoding.
    const QByteArray message = "webfile:getFileListRes:" + encoded + ";";
    transport *link = transport::shareInstance();

    const double floorMs = medianMs(kRuns, [&] { (void)QByteArray::fromBase64(encoded); });
    const double oneReadMs = medianMs(kRuns, [&] { link->receiveBytes(message); });
    const double smallReadsMs = medianMs(kRuns, [&] {
        for (int offset = 0; offset < message.size(); offset += kReadBytes)
            link->receiveBytes(QByteArray::fromRawData(message.constData() + offset,
                                                       qMin(kReadBytes, message.size() - offset)));
    });

    const QByteArray smallMessage = "webfile:getFileListRes:" + randomPayload(1024 * 1024).toBase64() + ";";
    QElapsedTimer clock;
    clock.start();
    link->receiveBytes(smallMessage);
    const double smallOneReadMs = clock.nsecsElapsed() / 1e6;
    clock.restart();
    naiveFraming(smallMessage, kReadBytes);
    const double naiveMs = clock.nsecsElapsed() / 1e6;

    const double megabytes = message.size() / (1024.0 * 1024.0);
    out << "message size: " << message.size() << " bytes (" << kPayloadBytes << " payload bytes)\n";
    out << "median of " << kRuns << " runs\n";
    out << "one read:        " << oneReadMs << " ms, " << megabytes / (oneReadMs / 1000) << " MiB/s\n";
    out << "4 KiB reads:     " << smallReadsMs << " ms, ratio to one read " << smallReadsMs / oneReadMs << "\n";
    out << "fromBase64 only: " << floorMs << " ms, " << megabytes / (floorMs / 1000)
        << " MiB/s (one read costs " << oneReadMs / floorMs << " x this floor)\n";
    out << "re-decoding at every read, 1 MiB payload: " << naiveMs << " ms against " << smallOneReadMs
        << " ms in one read (" << naiveMs / smallOneReadMs << " x)\n";
    return 0;
}
