#pragma once

#include "zuvochatwbconfigure.h"

#include <QFont>

// The store's font grown for the find bar's glyph buttons and the zoom label,
// which are read at a glance.
inline QFont enlargedStoreFont()
{
    QFont font = ZuvoChatWBConfigure::font();
    if (font.pixelSize() > 0)
        font.setPixelSize(font.pixelSize() * 3 / 2);
    else
        font.setPointSizeF(font.pointSizeF() * 1.5);
    return font;
}
