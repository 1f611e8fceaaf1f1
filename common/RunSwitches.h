// Switches a program reads from its environment, for measuring and for the tests: the shells read them and
// pass what they say on, so that the scene itself never looks at the environment.
#pragma once

namespace orlinde {

// Whether the environment variable `name` is set to "1".
bool SwitchedOn(const char* name);

// ORLINDE_UNPACED=1: frames as fast as the loop turns, to measure what pacing saves.
inline bool PacingSwitchedOff() {
  return SwitchedOn("ORLINDE_UNPACED");
}

}  // namespace orlinde
