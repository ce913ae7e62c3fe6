// Removes the component library's entry from the IDE's combined help table of contents.
#pragma once

#include <string>

namespace qvhelp {

// Copies the catalogue to the backup path, removes the first line that contains the library's
// marker together with the two lines after it, writes the rest back with CR LF line ends and
// deletes the backup copy. The catalogue is not written when no line holds the marker.
void PatchHelpToc(const std::string& HelpTocPath, const std::string& HelpTocBackupPath);

}  // namespace qvhelp
