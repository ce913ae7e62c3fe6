// The end-to-end cases: one row each, the key and files before the run, then the exit status,
// standard error and the files that differ afterwards.
#include "tests/e2e/e2e_cases.h"

#include "tests/harness/catalogue.h"

namespace qvhelp::e2e {
namespace {

using namespace harness;

const std::string kTen = CatalogueText(10, 4);
const std::string kTenPatched = PatchedCatalogueText(10, 4);
const std::string kTenWithoutMarker = CatalogueText(10, -1);
const Entry kHxSFile = File(kHxS, "HxS");
const Entry kHxIFile = File(kHxI, "HxI");
const Entry kHxSGone = Nothing(kHxS);
const Entry kHxIGone = Nothing(kHxI);

// The catalogue when the root is unusable: on the current drive.
const std::string kTocOnTheCurrentDrive = "Help/Common/bds3.HxT";
const std::string kTocUnderProgramFiles = "Program Files/Borland/BDS/3.0/Help/Common/bds3.HxT";
const std::string kTocUnderUmlaut = "B\xc3\xbcro/Help/Common/bds3.HxT";
const std::string kTocUnderPercent = "%SystemDrive%/BDS/Help/Common/bds3.HxT";
const std::string kDeep = "BDS/" + std::string(120, 'd') + "/" + std::string(120, 'e');

std::string Report(const std::string& kind, const std::string& message) {
  return "Exception " + kind + " in module {module} at {position}.\r\n" + message + "\r\n\r\n";
}

std::string Join(std::initializer_list<std::string> lines, std::string_view line_break) {
  std::string text;
  for (const std::string& line : lines) text += line + std::string(line_break);
  return text;
}

// Short lines with LF alone: with CR LF the patched text is larger than the original.
std::string ShortLfLines() {
  std::string text;
  for (int i = 0; i < 100; ++i) text += (i == 50 ? kMarkerLine : "x") + "\n";
  return text;
}

}  // namespace

// Built at its first use, when the constants it is made of are.
const std::vector<Case>& AllCases() {
  static const std::vector<Case> cases = {
      // Finding the IDE.
      {.name = "NoKey", .before = {File(kToc, kTen), kHxSFile, kHxIFile}},
      {.name = "KeyOnlyReadable",
       .key_values = kRootDirValue,
       .hive_read_only = true,
       .before = {File(kToc, kTen), kHxSFile, kHxIFile}},
      {.name = "KeyOnlyInThe64BitView",
       .key_values = kRootDirValue,
       .key_view = KeyView::k64Bit,
       .before = {File(kToc, kTen), kHxSFile, kHxIFile}},
      {.name = "NoCatalogue", .key_values = kRootDirValue, .before = {kHxSFile, kHxIFile}},
      {.name = "CatalogueIsADirectory",
       .key_values = kRootDirValue,
       .before = {Directory(kToc), kHxSFile, kHxIFile}},
      {.name = "Patched",
       .key_values = kRootDirValue,
       .before = {File(kToc, kTen), kHxSFile, kHxIFile},
       .changes = {File(kToc, kTenPatched), kHxSGone, kHxIGone}},
      {.name = "RootInOtherCase",
       .key_values = "\"RootDir\"=\"c:\\\\bds\"\n",
       .before = {File(kToc, kTen), kHxSFile, kHxIFile},
       .changes = {File(kToc, kTenPatched), kHxSGone, kHxIGone}},
      {.name = "RootEndsInABackslash",
       .key_values = "\"RootDir\"=\"C:\\\\BDS\\\\\"\n",
       .before = {File(kToc, kTen), kHxSFile, kHxIFile},
       .changes = {File(kToc, kTenPatched), kHxSGone, kHxIGone}},
      {.name = "RootWithANulInside",
       .key_values = "\"RootDir\"=hex(1):43,00,3a,00,5c,00,42,00,44,00,53,00,00,00,6a,00,00,00\n",
       .before = {File(kToc, kTen), kHxSFile, kHxIFile},
       .changes = {File(kToc, kTenPatched), kHxSGone, kHxIGone}},
      {.name = "RootAsExpandStringIsNotExpanded",
       .key_values = "\"RootDir\"=str(2):\"%SystemDrive%\\\\BDS\"\n",
       .before = {File(kTocUnderPercent, kTen), kHxSFile, kHxIFile},
       .changes = {File(kTocUnderPercent, kTenPatched), kHxSGone, kHxIGone}},
      {.name = "RootWithAnUmlaut",
       .key_values = "\"RootDir\"=\"C:\\\\B\\xfcro\"\n",
       .before = {File(kTocUnderUmlaut, kTen), kHxSFile, kHxIFile},
       .changes = {File(kTocUnderUmlaut, kTenPatched), kHxSGone, kHxIGone}},
      // As a 32-bit installer leaves it: the key in the 32-bit view, the root ending in a
      // backslash, the IDE under Program Files.
      {.name = "KeyAddedByTheInstaller",
       .root_dir_added_by_reg = "C:\\Program Files\\Borland\\BDS\\3.0\\",
       .before = {File(kTocUnderProgramFiles, kTen), kHxSFile, kHxIFile},
       .changes = {File(kTocUnderProgramFiles, kTenPatched), kHxSGone, kHxIGone}},
      // The report is in the console's code page.
      {.name = "ReportNamesARootWithAnUmlaut",
       .key_values = "\"RootDir\"=\"C:\\\\B\\xfcro\"\n",
       .before = {File(kTocUnderUmlaut, kTen), kHxSFile, kHxIFile},
       .held_open = HeldOpen::kForWriting,
       .exit_status = 1,
       .stderr_text = Report("EFOpenError",
                             "Cannot open file \"C:\\B{os:u_umlaut}ro\\Help\\Common\\bds3.HxT\". "
                             "{os:in_use}."),
       .changes = {File("B\xc3\xbcro/Help/Common/bds3.~HxT", kTen)}},
      // Without a usable root the catalogue is looked for on the current drive.
      {.name = "RootMissing",
       .key_values = "\"Other\"=\"C:\\\\BDS\"\n",
       .before = {File(kToc, kTen), File(kTocOnTheCurrentDrive, kTen), kHxSFile, kHxIFile},
       .changes = {File(kTocOnTheCurrentDrive, kTenPatched), kHxSGone, kHxIGone}},
      {.name = "RootEmpty",
       .key_values = "\"RootDir\"=\"\"\n",
       .before = {File(kToc, kTen), File(kTocOnTheCurrentDrive, kTen), kHxSFile, kHxIFile},
       .changes = {File(kTocOnTheCurrentDrive, kTenPatched), kHxSGone, kHxIGone}},
      {.name = "RootAsDword",
       .key_values = "\"RootDir\"=dword:00000005\n",
       .before = {File(kToc, kTen), File(kTocOnTheCurrentDrive, kTen), kHxSFile, kHxIFile},
       .changes = {File(kTocOnTheCurrentDrive, kTenPatched), kHxSGone, kHxIGone}},
      {.name = "RootAsBinary",
       .key_values = "\"RootDir\"=hex:43,3a,5c,42,44,53,00\n",
       .before = {File(kToc, kTen), File(kTocOnTheCurrentDrive, kTen), kHxSFile, kHxIFile},
       .changes = {File(kTocOnTheCurrentDrive, kTenPatched), kHxSGone, kHxIGone}},
      {.name = "RootAsMultiString",
       .key_values = "\"RootDir\"=str(7):\"C:\\\\BDS\\0\"\n",
       .before = {File(kToc, kTen), File(kTocOnTheCurrentDrive, kTen), kHxSFile, kHxIFile},
       .changes = {File(kTocOnTheCurrentDrive, kTenPatched), kHxSGone, kHxIGone}},

      // The catalogue's contents.
      {.name = "LfLineEnds",
       .key_values = kRootDirValue,
       .before = {File(kToc, CatalogueText(10, 4, "\n")), kHxSFile, kHxIFile},
       .changes = {File(kToc, kTenPatched), kHxSGone, kHxIGone}},
      {.name = "LoneCrLineEnds",
       .key_values = kRootDirValue,
       .before = {File(kToc, CatalogueText(10, 4, "\r")), kHxSFile, kHxIFile},
       .changes = {File(kToc, kTenPatched), kHxSGone, kHxIGone}},
      {.name = "MarkerInsideALongerLine",
       .key_values = kRootDirValue,
       .before = {File(kToc, CatalogueText(10, 4, "\r\n", "  <x>Quorvane Components 3</x>  ")),
                  kHxSFile, kHxIFile},
       .changes = {File(kToc, kTenPatched), kHxSGone, kHxIGone}},
      {.name = "MarkerInLowerCase",
       .key_values = kRootDirValue,
       .before = {File(kToc, CatalogueText(10, 4, "\r\n", "quorvane components")), kHxSFile,
                  kHxIFile},
       .changes = {kHxSGone, kHxIGone}},
      {.name = "NoMarker",
       .key_values = kRootDirValue,
       .before = {File(kToc, CatalogueText(10, -1, "\n")), kHxSFile, kHxIFile},
       .changes = {kHxSGone, kHxIGone}},
      {.name = "EmptyCatalogue",
       .key_values = kRootDirValue,
       .before = {File(kToc, ""), kHxSFile, kHxIFile},
       .changes = {kHxSGone, kHxIGone}},
      {.name = "OnlyTheEntryBlock",
       .key_values = kRootDirValue,
       .before = {File(kToc, Join({kMarkerLine, "a", "b"}, "\n")), kHxSFile, kHxIFile},
       .changes = {File(kToc, ""), kHxSGone, kHxIGone}},
      {.name = "SecondMarkerFarEnoughAwayStays",
       .key_values = kRootDirValue,
       .before = {File(kToc,
                       Join({"a", kMarkerLine, "b", "c", kMarkerLine, "d", "e", "f"}, "\r\n")),
                  kHxSFile, kHxIFile},
       .changes = {File(kToc, Join({"a", kMarkerLine, "d", "e", "f"}, "\r\n")), kHxSGone,
                   kHxIGone}},
      {.name = "SecondMarkerInsideTheBlockGoesWithIt",
       .key_values = kRootDirValue,
       .before = {File(kToc, Join({"a", kMarkerLine, kMarkerLine, "c", "d"}, "\r\n")), kHxSFile,
                  kHxIFile},
       .changes = {File(kToc, Join({"a", "d"}, "\r\n")), kHxSGone, kHxIGone}},
      {.name = "LfCrMakesAnEmptyLine",
       .key_values = kRootDirValue,
       .before = {File(kToc, kMarkerLine + "\nx\ny\na\n\rb"), kHxSFile, kHxIFile},
       .changes = {File(kToc, "a\r\n\r\nb\r\n"), kHxSGone, kHxIGone}},
      {.name = "NulBytesAreKept",
       .key_values = kRootDirValue,
       .before = {File(kToc,
                       std::string("a\0b\n", 4) + kMarkerLine + std::string("\nx\ny\n\0\n", 7)),
                  kHxSFile, kHxIFile},
       .changes = {File(kToc, std::string("a\0b\r\n\0\r\n", 8)), kHxSGone, kHxIGone}},
      {.name = "MarkerOnLine9Of10",
       .key_values = kRootDirValue,
       .before = {File(kToc, CatalogueText(10, 9)), kHxSFile, kHxIFile},
       .exit_status = 1,
       .stderr_text = Report("EStringListError", "List index out of bounds (9)."),
       .changes = {File(kBackup, CatalogueText(10, 9))}},
      {.name = "MarkerOnLine8Of10",
       .key_values = kRootDirValue,
       .before = {File(kToc, CatalogueText(10, 8)), kHxSFile, kHxIFile},
       .exit_status = 1,
       .stderr_text = Report("EStringListError", "List index out of bounds (8)."),
       .changes = {File(kBackup, CatalogueText(10, 8))}},
      {.name = "SingleMarkerLine",
       .key_values = kRootDirValue,
       .before = {File(kToc, kMarkerLine), kHxSFile, kHxIFile},
       .exit_status = 1,
       .stderr_text = Report("EStringListError", "List index out of bounds (0)."),
       .changes = {File(kBackup, kMarkerLine)}},

      // The backup copy.
      {.name = "OldBackupIsReplacedThenDeleted",
       .key_values = kRootDirValue,
       .before = {File(kToc, kTen), File(kBackup, "old backup"), kHxSFile, kHxIFile},
       .changes = {File(kToc, kTenPatched), Nothing(kBackup), kHxSGone, kHxIGone}},
      {.name = "DirectoryAtTheBackupName",
       .key_values = kRootDirValue,
       .before = {File(kToc, kTen), Directory(kBackup), kHxSFile, kHxIFile},
       .changes = {File(kToc, kTenPatched), kHxSGone, kHxIGone}},
      {.name = "ReadOnlyOldBackupStays",
       .key_values = kRootDirValue,
       .before = {File(kToc, kTen), ReadOnlyFile(kBackup, "old backup"), kHxSFile, kHxIFile},
       .changes = {File(kToc, kTenPatched), kHxSGone, kHxIGone}},
      {.name = "ReadOnlyCatalogueWithoutMarker",
       .key_values = kRootDirValue,
       .before = {ReadOnlyFile(kToc, kTenWithoutMarker), kHxSFile, kHxIFile},
       .changes = {ReadOnlyFile(kBackup, kTenWithoutMarker), kHxSGone, kHxIGone}},

      // The new file that replaces the catalogue.
      {.name = "LeftoverNewFileIsRemoved",
       .key_values = kRootDirValue,
       .before = {File(kToc, kTen), File(kNewToc, "half a text left by a killed run"), kHxSFile,
                  kHxIFile},
       .changes = {File(kToc, kTenPatched), Nothing(kNewToc), kHxSGone, kHxIGone}},
      {.name = "DirectoryAtTheNewFilesName",
       .key_values = kRootDirValue,
       .before = {File(kToc, kTen), Directory(kNewToc), kHxSFile, kHxIFile},
       .exit_status = 1,
       .stderr_text =
           Report("EFCreateError", "Cannot create file \"" + kTocDos + "\". {os:exists}."),
       .changes = {File(kBackup, kTen)}},

      // Errors while patching.
      {.name = "ReadOnlyCatalogue",
       .key_values = kRootDirValue,
       .before = {ReadOnlyFile(kToc, kTen), kHxSFile, kHxIFile},
       .exit_status = 1,
       .stderr_text =
           Report("EFCreateError", "Cannot create file \"" + kTocDos + "\". {os:access_denied}."),
       .changes = {ReadOnlyFile(kBackup, kTen)}},
      {.name = "CatalogueHeldOpenForWriting",
       .key_values = kRootDirValue,
       .before = {File(kToc, kTen), kHxSFile, kHxIFile},
       .held_open = HeldOpen::kForWriting,
       .exit_status = 1,
       .stderr_text = Report("EFOpenError", "Cannot open file \"" + kTocDos + "\". {os:in_use}."),
       .changes = {File(kBackup, kTen)}},
      {.name = "CatalogueHeldOpenForReading",
       .key_values = kRootDirValue,
       .before = {File(kToc, kTen), kHxSFile, kHxIFile},
       .held_open = HeldOpen::kForReading,
       .exit_status = 1,
       .stderr_text =
           Report("EFCreateError", "Cannot create file \"" + kTocDos + "\". {os:in_use}."),
       .changes = {File(kBackup, kTen)}},
      // A process may write no more than the original's size to one file, so the write of the
      // larger patched text falls short.
      {.name = "WriteFallsShort",
       .key_values = kRootDirValue,
       .before = {File(kToc, ShortLfLines()), kHxSFile, kHxIFile},
       .file_size_limit = static_cast<long>(ShortLfLines().size()),
       .exit_status = 1,
       .stderr_text = Report("EWriteError", "Stream write error."),
       .changes = {File(kBackup, ShortLfLines())}},
      {.name = "ErrorWithStandardErrorClosed",
       .key_values = kRootDirValue,
       .before = {File(kToc, CatalogueText(10, 9)), kHxSFile, kHxIFile},
       .stderr_closed = true,
       .exit_status = 1,
       .changes = {File(kBackup, CatalogueText(10, 9))}},
      {.name = "LongPathShownWhole",
       .key_values = "\"RootDir\"=\"C:\\\\BDS\\\\" + std::string(120, 'd') + "\\\\" +
                     std::string(120, 'e') + "\"\n",
       .before = {File(kDeep + "/Help/Common/bds3.HxT", kTen), kHxSFile, kHxIFile},
       .held_open = HeldOpen::kForWriting,
       .exit_status = 1,
       .stderr_text = Report("EFOpenError", "Cannot open file \"C:\\BDS\\" + std::string(120, 'd') +
                                                "\\" + std::string(120, 'e') +
                                                "\\Help\\Common\\bds3.HxT\". {os:in_use}."),
       .changes = {File(kDeep + "/Help/Common/bds3.~HxT", kTen)}},

      // The library's help files.
      {.name = "HelpFileIsADirectory",
       .key_values = kRootDirValue,
       .before = {File(kToc, kTen), Directory(kHxS), kHxIFile},
       .changes = {File(kToc, kTenPatched), kHxIGone}},
      {.name = "ReadOnlyHelpFileStays",
       .key_values = kRootDirValue,
       .before = {File(kToc, kTen), ReadOnlyFile(kHxS, "HxS"), kHxIFile},
       .changes = {File(kToc, kTenPatched), kHxIGone}},
      // Archives restore files dated 1970: they exist all the same.
      {.name = "FilesDated1970",
       .key_values = kRootDirValue,
       .before = {FileDated1970(kToc, kTen), FileDated1970(kHxS, "HxS"), kHxIFile},
       .changes = {File(kToc, kTenPatched), kHxSGone, kHxIGone}},
      {.name = "HelpFilesOnlyPartlyThere",
       .key_values = kRootDirValue,
       .before = {File(kToc, kTen), kHxIFile},
       .changes = {File(kToc, kTenPatched), kHxIGone}},
  };
  return cases;
}

}  // namespace qvhelp::e2e
