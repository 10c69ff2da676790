#pragma once

// The program's one way of pausing: the caller blocks for whole seconds while windows, timers
// and host events keep running. Waits that overlap share one due time: a wait started inside
// another re-arms it, and all of them end together when the last arming falls due. A wait also
// ends once the program has been asked to quit.
void WaitSeconds(int seconds);
