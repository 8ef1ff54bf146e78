#ifndef ZUVO_ART_FILETYPEICONS_H
#define ZUVO_ART_FILETYPEICONS_H

#include <QImage>
#include <QStringList>

// Icons of the download list, one per kind of file. Drawn in a 48-unit grid;
// `scale` 1 gives the 48 x 48 file, 2 the 96 x 96 one.
constexpr int fileTypeIconSize = 48;

// The kinds in the order of the resource collection.
QStringList fileTypeKinds();

enum class IconTone { Colour, Gray };

QImage renderFileTypeIcon(const QString &kind, int scale, IconTone tone);

#endif
