// The files a run works on, where they lie under drive C: as the tests lay them down, and the
// catalogue texts the tests build.
#pragma once

#include <string>
#include <string_view>

namespace qvhelp::harness {

// Paths relative to drive C:, with '/' between parts.
inline const std::string kToc = "BDS/Help/Common/bds3.HxT";
inline const std::string kBackup = "BDS/Help/Common/bds3.~HxT";
inline const std::string kNewToc = "BDS/Help/Common/bds3.HxT.qvhelp-new";
inline const std::string kHxS = "Program Files/Borland/BDS/3.0/Help/ThirdParty/QV3LibraryDoc.HxS";
inline const std::string kHxI = "Program Files/Borland/BDS/3.0/Help/ThirdParty/QV3LibraryDoc.HxI";
// The catalogue as the program names it in a report.
inline const std::string kTocDos = "C:\\BDS\\Help\\Common\\bds3.HxT";
// The key's value that puts the catalogue at kToc, in the hive's text format.
inline const std::string kRootDirValue = "\"RootDir\"=\"C:\\\\BDS\"\n";
inline const std::string kMarkerLine =
    "<HelpTOCNode Title=\"Quorvane Components\" Url=\"qv3.HxS\">";

// `lines` lines, with `marker_line` in place of line `marker_index` (none when negative),
// each ended by `line_break`.
std::string CatalogueText(int lines, int marker_index, std::string_view line_break = "\r\n",
                          const std::string& marker_line = kMarkerLine);

// CatalogueText's lines without the three of the entry block at `marker_index`, each ended by
// CR LF: what a run leaves.
std::string PatchedCatalogueText(int lines, int marker_index);

}  // namespace qvhelp::harness
