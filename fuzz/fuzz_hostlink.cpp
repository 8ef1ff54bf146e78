// libFuzzer target: bytes from a host into the browser's receive path, through
// framing, decoding and dispatch to a real window.
#include "hostlinkharness.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    hostlinkharness::setUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    hostlinkharness::feed(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    return 0;
}
