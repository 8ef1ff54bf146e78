#pragma once

#include <QString>

// The platform layer: one source file per platform, only Linux is built.
QString psServerPrefix();
const char *cGUIDStr();
void activateProgram(quint64 windowId);
