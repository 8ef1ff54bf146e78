#pragma once

// The process's one thread runs page scripts too, and a script that never
// yields keeps it from ever seeing the host link end. This guard watches the
// link's socket from a thread of its own, reading nothing, and ends the
// process with exit code 0 once the link has been gone for graceMs without
// the event loop having ended it.
void guardProcessByLink(int socketDescriptor, int graceMs);
