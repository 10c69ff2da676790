#pragma once

#include <chrono>

// What a host in trouble looks like from the bus, for trying Parlox against one. Each stops the
// program's one thread, which answers every call and raises every event: so nothing is answered
// or raised meanwhile, as with EchoLink behind a modal dialog, hung, or crashed.

// Answers nothing for the period; what came meanwhile is answered afterwards, late.
void StayBusy(std::chrono::milliseconds period);

// Answers nothing ever again; only a signal ends the program.
[[noreturn]] void HangForGood();

// Ends at once, without Closing: the bus hears of it only because the connection breaks.
void Crash();
