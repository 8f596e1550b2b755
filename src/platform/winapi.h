// The Windows-named functions of the platform layer, brought into the global namespace for the
// game's own code, which is written in that vocabulary.
#pragma once

#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/thread.h"
#include "platform/win_types.h"

using t4::platform::DispatchMessage;
using t4::platform::GetCurrentThreadId;
using t4::platform::GetMessage;
using t4::platform::PeekMessage;
using t4::platform::PostMessage;
using t4::platform::PostQuitMessage;
using t4::platform::PostThreadMessage;
using t4::platform::SendMessage;
using t4::platform::Sleep;
using t4::platform::timeGetTime;
