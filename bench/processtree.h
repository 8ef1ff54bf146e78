#pragma once

#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QStringList>

#include <unistd.h>

// Proportional memory of a process and every process below it: a page
// process or GPU helper counts towards the program that started it, and
// memory they share is split between them rather than counted twice.
struct TreeMemory {
    qint64 pssKiB = 0;
    int processes = 0;
};

namespace processtree {

// The parent of every process on the machine that could be read.
inline QHash<qint64, qint64> parents()
{
    QHash<qint64, qint64> parentOf;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // The command name may hold spaces and parentheses: fields follow the last ")".
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            parentOf.insert(pid, fields.at(1).toLongLong());
    }
    return parentOf;
}

inline qint64 pssKiBOf(qint64 pid)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

inline TreeMemory memoryOf(qint64 root)
{
    const QHash<qint64, qint64> parentOf = parents();
    QList<qint64> pending{root};
    TreeMemory memory;
    while (!pending.isEmpty()) {
        const qint64 pid = pending.takeFirst();
        memory.pssKiB += pssKiBOf(pid);
        ++memory.processes;
        for (auto it = parentOf.cbegin(); it != parentOf.cend(); ++it) {
            if (it.value() == pid)
                pending.append(it.key());
        }
    }
    return memory;
}

inline TreeMemory memoryOfThisProcess()
{
    return memoryOf(getpid());
}

} // namespace processtree
