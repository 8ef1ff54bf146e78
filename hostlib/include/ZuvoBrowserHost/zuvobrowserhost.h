#pragma once

// Everything the library offers, in one include.
#include <ZuvoBrowserHost/browserhost.h>
#include <ZuvoBrowserHost/downloadhistory.h>
#include <ZuvoBrowserHost/downloadrecord.h>
#include <ZuvoBrowserHost/downloadservice.h>
#include <ZuvoBrowserHost/global.h>
#include <ZuvoBrowserHost/standarddownloadservice.h>
