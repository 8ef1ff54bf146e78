#ifndef ZUVO_ART_BRANDMARK_H
#define ZUVO_ART_BRANDMARK_H

#include <QImage>

// The Zuvo mark: a white speech bubble holding a "Z" on a blue rounded
// square. The title bar's channel logo is the mark alone (20 units); the
// window icon puts it on a 256-unit canvas with room for a soft shadow.
constexpr int channelLogoSize = 20;
constexpr int windowIconSize = 256;

QImage renderChannelLogo(int scale);
QImage renderWindowIcon(int scale);

#endif
