// The start-up routine of "Orlinde.scr".
#pragma once

namespace orlinde {

// Refuses to run beside another instance, reads the screen-saver switch and opens the preview form, the
// settings dialog or the run form. Returns with a form loaded (preview, run) or with nothing loaded, in
// which case the process ends; some paths end the process itself.
void Main();

}  // namespace orlinde
