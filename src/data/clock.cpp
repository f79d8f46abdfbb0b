#include "data/clock.h"

namespace {
Clock realClock;
Clock *current = &realClock;
} // namespace

Clock &Clock::instance() { return *current; }
void Clock::install(Clock *clock) { current = clock ? clock : &realClock; }
