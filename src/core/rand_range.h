// A random integer in a range from the calling thread's classic generator.
#pragma once

// Between a and b inclusive, in either order: min + Rand() mod (span), one draw per call.
int RandRange(int a, int b);
