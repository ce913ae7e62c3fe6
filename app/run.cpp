// The run sequence.
#include "app/run.h"

#include <string>

#include "app/file_names.h"
#include "help_toc/help_toc_patch.h"
#include "install_lookup/install_lookup.h"
#include "platform/files.h"

namespace qvhelp {
namespace {

const std::string HelpTocSuffix = "\\Help\\Common\\bds3.HxT";
const std::string HelpTocBackupExt = ".~HxT";
// Fixed on drive C:, not derived from the install root as the catalogue is.
const std::string LibraryHelpFile =
    "C:\\Program Files\\Borland\\BDS\\3.0\\Help\\ThirdParty\\QV3LibraryDoc.HxS";
const std::string LibraryHelpIndexFile =
    "C:\\Program Files\\Borland\\BDS\\3.0\\Help\\ThirdParty\\QV3LibraryDoc.HxI";

void RemoveLibraryHelpFiles() {
  for (const std::string* name : {&LibraryHelpFile, &LibraryHelpIndexFile}) {
    if (FileExists(*name)) platform::DeleteFile(*name);
  }
}

}  // namespace

void RunHelpRemoval() {
  if (!InstallKeyExists()) return;
  const std::string InstallRoot = ReadInstallRoot();
  // A plain concatenation: the path goes to the system as it comes out.
  const std::string HelpTocPath = InstallRoot + HelpTocSuffix;
  const std::string HelpTocBackupPath = ChangeFileExt(HelpTocPath, HelpTocBackupExt);
  if (!FileExists(HelpTocPath)) return;
  PatchHelpToc(HelpTocPath, HelpTocBackupPath);
  RemoveLibraryHelpFiles();
}

}  // namespace qvhelp
