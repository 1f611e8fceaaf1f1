// Switches a run takes from its environment rather than its settings: for measuring, never for users.
// The shells read them here and pass what they mean to the scene.
#pragma once

namespace orlinde {

// Whether ORLINDE_UNPACED=1 is set: frames as fast as the loop turns, to measure what pacing saves.
bool PacingSwitchedOff();

}  // namespace orlinde
