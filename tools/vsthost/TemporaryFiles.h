// The temporary files the host has open, kept in fixed storage so that an
// interruption (Ctrl-C, a termination request) can remove them from its
// signal or console handler without allocating. Registered and released on
// the host's main thread; removed from the handler's context.
#pragma once

#include <string>

namespace vsthost {

// A place for `path` until Release; -1 when every place is taken or the
// name is too long (the file then simply cannot be cleaned up that way).
int RegisterTemporary(const std::string& path);
void ReleaseTemporary(int slot);
// Removes every registered file; async-signal-safe.
void RemoveRegisteredTemporaries();

} // namespace vsthost
