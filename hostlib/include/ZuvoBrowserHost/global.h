#pragma once

#include <QtGlobal>

#if defined(ZUVOBROWSERHOST_BUILDING)
#define ZUVOBROWSERHOST_EXPORT Q_DECL_EXPORT
#else
#define ZUVOBROWSERHOST_EXPORT Q_DECL_IMPORT
#endif

#include <ZuvoBrowserHost/version.h>

namespace Zuvo {

// The version of the library the program runs with, which may be newer than
// the ZUVOBROWSERHOST_VERSION_STRING it was built with.
ZUVOBROWSERHOST_EXPORT const char *libraryVersion();

} // namespace Zuvo
