#pragma once

// Makes a write past the file-size limit (ulimit -f) fail like one to a full disk, so that it
// is reported and its lock and scratch files are removed. By default the signal it raises ends
// the process on the spot. Does nothing where there is no such signal.
void ignoreFileSizeSignal();
