#pragma once

#include <QString>

// The process's resident memory now, in KiB (VmRSS of /proc/self/status); -1 where unknown.
qint64 ResidentKiB();

// Runs one memory scenario in this process and prints its figures on standard output, one
// "label KiB" a line ("start-up", then "10000" ... "100000" for the lines received so far), for
// the benchmark that started it to read:
//   "window": Parlox's window, receiving the lines through its tick with logging on;
//   "bare":   a plain Qt window holding the same three controls, whose text box takes every
//             line and keeps it.
int RunMemoryScenario(const QString &scenario);
