// The program's one pass: find the IDE, patch its help table of contents, delete the library's
// help files.
#pragma once

namespace qvhelp {

// Raises the error that stops the run; returns at every normal end.
void RunHelpRemoval();

}  // namespace qvhelp
