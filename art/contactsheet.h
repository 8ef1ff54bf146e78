#ifndef ZUVO_ART_CONTACTSHEET_H
#define ZUVO_ART_CONTACTSHEET_H

#include <QString>
#include <QStringList>
#include <QVector>

// Lays the written PNGs out in rows, once on white and once on the title
// bar's default light gray, so that a person can judge them side by side.
// `rows` holds file paths relative to `srcDir`. Returns false if a file is
// missing or the sheet cannot be written.
bool writeContactSheet(const QString &srcDir, const QVector<QStringList> &rows,
                       const QString &sheetPath);

#endif
