// The run sequence.
#include "app/run.h"

#include <string>
#include <string_view>

#include "app/file_names.h"
#include "help_toc/help_toc_patch.h"
#include "install_lookup/install_lookup.h"
#include "platform/files.h"

namespace qvhelp {
namespace {

// Constants, not std::string objects: nothing is allocated before the run's error handler is
// in place.
constexpr std::string_view HelpTocSuffix = "\\Help\\Common\\bds3.HxT";
constexpr std::string_view HelpTocBackupExt = ".~HxT";
// Fixed on drive C:, not derived from the install root as the catalogue is.
constexpr std::string_view LibraryHelpFile =
    "C:\\Program Files\\Borland\\BDS\\3.0\\Help\\ThirdParty\\QV3LibraryDoc.HxS";
constexpr std::string_view LibraryHelpIndexFile =
    "C:\\Program Files\\Borland\\BDS\\3.0\\Help\\ThirdParty\\QV3LibraryDoc.HxI";

void RemoveLibraryHelpFiles() {
  for (std::string_view file : {LibraryHelpFile, LibraryHelpIndexFile}) {
    const std::string name(file);
    if (FileExists(name)) platform::DeleteFile(name);
  }
}

}  // namespace

void RunHelpRemoval() {
  if (!InstallKeyExists()) return;
  const std::string InstallRoot = ReadInstallRoot();
  // A plain concatenation: the path goes to the system as it comes out.
  const std::string HelpTocPath = InstallRoot + std::string(HelpTocSuffix);
  const std::string HelpTocBackupPath = ChangeFileExt(HelpTocPath, HelpTocBackupExt);
  if (!FileExists(HelpTocPath)) return;
  PatchHelpToc(HelpTocPath, HelpTocBackupPath);
  RemoveLibraryHelpFiles();
}

}  // namespace qvhelp
