// Ctrl-C and termination requests: noted, never acted on at once, so that the file in hand is either finished or
// left untouched, with no temporary file behind, and the run still prints what it did.
#pragma once

namespace Interrupt {

// Takes over SIGINT, SIGTERM and SIGHUP (natively; Ctrl-C, Ctrl-Break and closing the console on Windows) and
// ignores SIGPIPE, whose default would end the run in the middle of a file: a closed output is an error the
// console reports instead.
void Install();
// Whether a stop was asked for; the commands look between files.
bool Requested();

}  // namespace Interrupt
