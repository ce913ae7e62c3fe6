// Removes the component library's entry from the IDE's combined help table of contents.
#pragma once

#include <string>

namespace qvhelp {

// Copies the catalogue to the backup path, removes the first line that contains the library's
// marker together with the two lines after it, puts the rest in the catalogue's place with CR LF
// line ends (a new file, swapped in whole) and deletes the backup copy. The catalogue is not
// opened for writing when no line holds the marker.
void PatchHelpToc(const std::string& HelpTocPath, const std::string& HelpTocBackupPath);

}  // namespace qvhelp
