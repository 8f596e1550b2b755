// Thread ids shared by the message layer and the thread layer: a thread started through
// StartThread gets its id before it runs, so the starter can post to it at once.
#pragma once

#include "platform/win_types.h"

namespace t4::platform::detail {

DWORD AllocateThreadId();
// Called first thing on a new thread with the id its starter allocated.
void BindCurrentThreadId(DWORD id);
// Called when a thread's procedure has returned: its queue goes away and waiting sends are released.
void ReleaseCurrentThreadQueue();

}  // namespace t4::platform::detail
