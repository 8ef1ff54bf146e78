#pragma once

// The history lives in the host library; the reference host and its tests
// name its classes without the library's namespace.
#include <ZuvoBrowserHost/downloadhistory.h>

using Zuvo::DownloadHistory;
using Zuvo::DownloadRecord;
