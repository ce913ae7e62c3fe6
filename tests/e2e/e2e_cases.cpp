// The end-to-end cases.
#include "tests/e2e/e2e_cases.h"

#include <regex>

namespace qvhelp::e2e {
namespace {

const std::string kToc = "BDS/Help/Common/bds3.HxT";
const std::string kBackup = "BDS/Help/Common/bds3.~HxT";
const std::string kNewToc = "BDS/Help/Common/bds3.HxT.qvhelp-new";
const std::string kTocDos = "C:\\BDS\\Help\\Common\\bds3.HxT";
const std::string kThirdParty = "Program Files/Borland/BDS/3.0/Help/ThirdParty/";
const std::string kHxS = kThirdParty + "QV3LibraryDoc.HxS";
const std::string kHxI = kThirdParty + "QV3LibraryDoc.HxI";
const std::string kRootDir = "\"RootDir\"=\"C:\\\\BDS\"\n";
const std::string kMarkerLine = "<HelpTOCNode Title=\"Quorvane Components\" Url=\"qv3.HxS\">";

Entry File(std::string path, std::string contents, bool read_only = false) {
  return Entry{std::move(path), std::move(contents), read_only};
}
Entry Directory(std::string path) { return Entry{std::move(path), std::nullopt}; }
Entry Gone(const std::string& path) { return Entry{"-" + path, std::nullopt}; }

// Ten lines, the marker on line `marker_index` (none when negative), each ended by `line_break`.
std::string TenLines(int marker_index, std::string_view line_break = "\r\n",
                     const std::string& marker_line = kMarkerLine) {
  std::string text;
  for (int i = 0; i < 10; ++i) {
    text +=
        i == marker_index ? marker_line : "<HelpTOCNode Title=\"Line " + std::to_string(i) + "\"/>";
    text += line_break;
  }
  return text;
}

// TenLines with lines `from` to `from` + 2 gone, written back with CR LF.
std::string TenLinesWithout(int from) {
  std::string text;
  for (int i = 0; i < 10; ++i) {
    if (i >= from && i < from + 3) continue;
    text += "<HelpTOCNode Title=\"Line " + std::to_string(i) + "\"/>\r\n";
  }
  return text;
}

std::string Report(const std::string& kind, const std::string& message) {
  return "Exception " + kind + " in module {module} at {position}.\r\n" + message + "\r\n\r\n";
}

std::string Join(std::initializer_list<std::string> lines, std::string_view line_break) {
  std::string text;
  for (const std::string& line : lines) text += line + std::string(line_break);
  return text;
}

std::vector<Entry> With(std::vector<Entry> entries, std::initializer_list<Entry> more) {
  entries.insert(entries.end(), more);
  return entries;
}

const std::vector<Entry> kHelpFiles = {File(kHxS, "HxS"), File(kHxI, "HxI")};
const std::vector<Entry> kHelpFilesGone = {Gone(kHxS), Gone(kHxI)};

// A patch that removes the block at index 4 of TenLines.
Case Patched(std::string name, std::string key_values, std::vector<Entry> before,
             std::string toc_path = kToc) {
  Case c;
  c.name = std::move(name);
  c.key_values = std::move(key_values);
  c.before = With(std::move(before), {File(kHxS, "HxS"), File(kHxI, "HxI")});
  c.changes = With(kHelpFilesGone, {File(std::move(toc_path), TenLinesWithout(4))});
  return c;
}

std::vector<Case> MakeCases() {
  std::vector<Case> cases;
  auto add = [&](Case c) { cases.push_back(std::move(c)); };

  // Finding the IDE.
  {
    Case c{.name = "NoKey"};
    c.before = With(kHelpFiles, {File(kToc, TenLines(4))});
    add(c);
  }
  {
    Case c{.name = "KeyOnlyReadable", .key_values = kRootDir, .hive_read_only = true};
    c.before = With(kHelpFiles, {File(kToc, TenLines(4))});
    add(c);
  }
  {
    Case c{.name = "KeyOnlyInThe64BitView", .key_values = kRootDir, .key_view = KeyView::k64Bit};
    c.before = With(kHelpFiles, {File(kToc, TenLines(4))});
    add(c);
  }
  {
    Case c{.name = "NoCatalogue", .key_values = kRootDir};
    c.before = kHelpFiles;
    add(c);
  }
  {
    Case c{.name = "CatalogueIsADirectory", .key_values = kRootDir};
    c.before = With(kHelpFiles, {Directory(kToc)});
    add(c);
  }
  add(Patched("Patched", kRootDir, {File(kToc, TenLines(4))}));
  add(Patched("RootInOtherCase", "\"RootDir\"=\"c:\\\\bds\"\n", {File(kToc, TenLines(4))}));
  add(Patched("RootEndsInABackslash", "\"RootDir\"=\"C:\\\\BDS\\\\\"\n",
              {File(kToc, TenLines(4))}));
  add(Patched("RootWithANulInside",
              "\"RootDir\"=hex(1):43,00,3a,00,5c,00,42,00,44,00,53,00,00,00,6a,00,00,00\n",
              {File(kToc, TenLines(4))}));
  add(Patched("RootAsExpandStringIsNotExpanded", "\"RootDir\"=str(2):\"%SystemDrive%\\\\BDS\"\n",
              {File("%SystemDrive%/BDS/Help/Common/bds3.HxT", TenLines(4))},
              "%SystemDrive%/BDS/Help/Common/bds3.HxT"));
  add(Patched("RootWithAnUmlaut", "\"RootDir\"=\"C:\\\\B\\xfcro\"\n",
              {File("B\xc3\xbcro/Help/Common/bds3.HxT", TenLines(4))},
              "B\xc3\xbcro/Help/Common/bds3.HxT"));
  {
    // As a 32-bit installer leaves it: the key in the 32-bit view, the root ending in a
    // backslash, the IDE under Program Files.
    const std::string toc = "Program Files/Borland/BDS/3.0/Help/Common/bds3.HxT";
    Case c = Patched("KeyAddedByTheInstaller", "", {File(toc, TenLines(4))}, toc);
    c.key_values.reset();
    c.root_dir_added_by_reg = "C:\\Program Files\\Borland\\BDS\\3.0\\";
    add(c);
  }
  {
    // The report is in the console's code page.
    Case c{.name = "ReportNamesARootWithAnUmlaut",
           .key_values = "\"RootDir\"=\"C:\\\\B\\xfcro\"\n",
           .held_open = HeldOpen::kForWriting};
    c.before = With(kHelpFiles, {File("B\xc3\xbcro/Help/Common/bds3.HxT", TenLines(4))});
    c.exit_status = 1;
    c.stderr_text =
        Report("EFOpenError",
               "Cannot open file \"C:\\B{os:u_umlaut}ro\\Help\\Common\\bds3.HxT\". {os:in_use}.");
    c.changes = {File("B\xc3\xbcro/Help/Common/bds3.~HxT", TenLines(4))};
    add(c);
  }
  // Without a usable root the catalogue is looked for on the current drive.
  for (const auto& [name, values] : std::vector<std::pair<std::string, std::string>>{
           {"RootMissing", "\"Other\"=\"C:\\\\BDS\"\n"},
           {"RootEmpty", "\"RootDir\"=\"\"\n"},
           {"RootAsDword", "\"RootDir\"=dword:00000005\n"},
           {"RootAsBinary", "\"RootDir\"=hex:43,3a,5c,42,44,53,00\n"},
           {"RootAsMultiString", "\"RootDir\"=str(7):\"C:\\\\BDS\\0\"\n"}}) {
    Case c =
        Patched(name, values, {File(kToc, TenLines(4)), File("Help/Common/bds3.HxT", TenLines(4))},
                "Help/Common/bds3.HxT");
    add(c);
  }

  // The catalogue's contents.
  {
    Case c = Patched("LfLineEnds", kRootDir, {File(kToc, TenLines(4, "\n"))});
    add(c);
  }
  {
    Case c = Patched("LoneCrLineEnds", kRootDir, {File(kToc, TenLines(4, "\r"))});
    add(c);
  }
  {
    Case c = Patched("MarkerInsideALongerLine", kRootDir,
                     {File(kToc, TenLines(4, "\r\n", "  <x>Quorvane Components 3</x>  "))});
    add(c);
  }
  {
    Case c{.name = "MarkerInLowerCase", .key_values = kRootDir};
    c.before = With(kHelpFiles, {File(kToc, TenLines(4, "\r\n", "quorvane components"))});
    c.changes = kHelpFilesGone;
    add(c);
  }
  {
    Case c{.name = "NoMarker", .key_values = kRootDir};
    c.before = With(kHelpFiles, {File(kToc, TenLines(-1, "\n"))});
    c.changes = kHelpFilesGone;
    add(c);
  }
  {
    Case c{.name = "EmptyCatalogue", .key_values = kRootDir};
    c.before = With(kHelpFiles, {File(kToc, "")});
    c.changes = kHelpFilesGone;
    add(c);
  }
  {
    Case c{.name = "OnlyTheEntryBlock", .key_values = kRootDir};
    c.before = With(kHelpFiles, {File(kToc, Join({kMarkerLine, "a", "b"}, "\n"))});
    c.changes = With(kHelpFilesGone, {File(kToc, "")});
    add(c);
  }
  {
    Case c{.name = "SecondMarkerFarEnoughAwayStays", .key_values = kRootDir};
    c.before =
        With(kHelpFiles,
             {File(kToc, Join({"a", kMarkerLine, "b", "c", kMarkerLine, "d", "e", "f"}, "\r\n"))});
    c.changes = With(kHelpFilesGone, {File(kToc, Join({"a", kMarkerLine, "d", "e", "f"}, "\r\n"))});
    add(c);
  }
  {
    Case c{.name = "SecondMarkerInsideTheBlockGoesWithIt", .key_values = kRootDir};
    c.before =
        With(kHelpFiles, {File(kToc, Join({"a", kMarkerLine, kMarkerLine, "c", "d"}, "\r\n"))});
    c.changes = With(kHelpFilesGone, {File(kToc, Join({"a", "d"}, "\r\n"))});
    add(c);
  }
  {
    Case c{.name = "LfCrMakesAnEmptyLine", .key_values = kRootDir};
    c.before = With(kHelpFiles, {File(kToc, kMarkerLine + "\nx\ny\na\n\rb")});
    c.changes = With(kHelpFilesGone, {File(kToc, "a\r\n\r\nb\r\n")});
    add(c);
  }
  {
    Case c{.name = "NulBytesAreKept", .key_values = kRootDir};
    c.before =
        With(kHelpFiles,
             {File(kToc, std::string("a\0b\n", 4) + kMarkerLine + std::string("\nx\ny\n\0\n", 7))});
    c.changes = With(kHelpFilesGone, {File(kToc, std::string("a\0b\r\n\0\r\n", 8))});
    add(c);
  }
  for (int index : {9, 8}) {
    Case c{.name = "MarkerOnLine" + std::to_string(index) + "Of10", .key_values = kRootDir};
    c.before = With(kHelpFiles, {File(kToc, TenLines(index))});
    c.exit_status = 1;
    c.stderr_text =
        Report("EStringListError", "List index out of bounds (" + std::to_string(index) + ").");
    c.changes = {File(kBackup, TenLines(index))};
    add(c);
  }
  {
    Case c{.name = "SingleMarkerLine", .key_values = kRootDir};
    c.before = With(kHelpFiles, {File(kToc, kMarkerLine)});
    c.exit_status = 1;
    c.stderr_text = Report("EStringListError", "List index out of bounds (0).");
    c.changes = {File(kBackup, kMarkerLine)};
    add(c);
  }

  // The backup copy.
  {
    Case c = Patched("OldBackupIsReplacedThenDeleted", kRootDir,
                     {File(kToc, TenLines(4)), File(kBackup, "old backup")});
    c.changes.push_back(Gone(kBackup));
    add(c);
  }
  {
    Case c = Patched("DirectoryAtTheBackupName", kRootDir,
                     {File(kToc, TenLines(4)), Directory(kBackup)});
    add(c);
  }
  {
    Case c = Patched("ReadOnlyOldBackupStays", kRootDir,
                     {File(kToc, TenLines(4)), File(kBackup, "old backup", true)});
    add(c);
  }
  {
    Case c{.name = "ReadOnlyCatalogueWithoutMarker", .key_values = kRootDir};
    c.before = With(kHelpFiles, {File(kToc, TenLines(-1), true)});
    c.changes = With(kHelpFilesGone, {File(kBackup, TenLines(-1), true)});
    add(c);
  }

  // The new file that replaces the catalogue.
  {
    Case c = Patched("LeftoverNewFileIsRemoved", kRootDir,
                     {File(kToc, TenLines(4)), File(kNewToc, "half a text left by a killed run")});
    c.changes.push_back(Gone(kNewToc));
    add(c);
  }
  {
    Case c{.name = "DirectoryAtTheNewFilesName", .key_values = kRootDir};
    c.before = With(kHelpFiles, {File(kToc, TenLines(4)), Directory(kNewToc)});
    c.exit_status = 1;
    c.stderr_text = Report("EFCreateError", "Cannot create file \"" + kTocDos + "\". {os:exists}.");
    c.changes = {File(kBackup, TenLines(4))};
    add(c);
  }

  // Errors while patching.
  {
    Case c{.name = "ReadOnlyCatalogue", .key_values = kRootDir};
    c.before = With(kHelpFiles, {File(kToc, TenLines(4), true)});
    c.exit_status = 1;
    c.stderr_text =
        Report("EFCreateError", "Cannot create file \"" + kTocDos + "\". {os:access_denied}.");
    c.changes = {File(kBackup, TenLines(4), true)};
    add(c);
  }
  {
    Case c{.name = "CatalogueHeldOpenForWriting",
           .key_values = kRootDir,
           .held_open = HeldOpen::kForWriting};
    c.before = With(kHelpFiles, {File(kToc, TenLines(4))});
    c.exit_status = 1;
    c.stderr_text = Report("EFOpenError", "Cannot open file \"" + kTocDos + "\". {os:in_use}.");
    c.changes = {File(kBackup, TenLines(4))};
    add(c);
  }
  {
    Case c{.name = "CatalogueHeldOpenForReading",
           .key_values = kRootDir,
           .held_open = HeldOpen::kForReading};
    c.before = With(kHelpFiles, {File(kToc, TenLines(4))});
    c.exit_status = 1;
    c.stderr_text = Report("EFCreateError", "Cannot create file \"" + kTocDos + "\". {os:in_use}.");
    c.changes = {File(kBackup, TenLines(4))};
    add(c);
  }
  {
    // Short lines with LF alone, so that with CR LF the patched text is larger than the
    // original, and the write falls short of it.
    std::string original;
    for (int i = 0; i < 100; ++i) original += (i == 50 ? kMarkerLine : "x") + "\n";
    Case c{.name = "WriteFallsShort",
           .key_values = kRootDir,
           .file_size_limit = static_cast<long>(original.size())};
    c.before = With(kHelpFiles, {File(kToc, original)});
    c.exit_status = 1;
    c.stderr_text = Report("EWriteError", "Stream write error.");
    c.changes = {File(kBackup, original)};
    add(c);
  }
  {
    Case c{.name = "ErrorWithStandardErrorClosed", .key_values = kRootDir, .stderr_closed = true};
    c.before = With(kHelpFiles, {File(kToc, TenLines(9))});
    c.exit_status = 1;
    c.changes = {File(kBackup, TenLines(9))};
    add(c);
  }
  {
    const std::string deep = "BDS/" + std::string(120, 'd') + "/" + std::string(120, 'e');
    const std::string deep_dos = "C:\\BDS\\" + std::string(120, 'd') + "\\" + std::string(120, 'e');
    Case c{.name = "LongPathShownWhole",
           .key_values = "\"RootDir\"=\"C:\\\\BDS\\\\" + std::string(120, 'd') + "\\\\" +
                         std::string(120, 'e') + "\"\n",
           .held_open = HeldOpen::kForWriting};
    c.before = With(kHelpFiles, {File(deep + "/Help/Common/bds3.HxT", TenLines(4))});
    c.exit_status = 1;
    c.stderr_text = Report("EFOpenError", "Cannot open file \"" + deep_dos +
                                              "\\Help\\Common\\bds3.HxT\". {os:in_use}.");
    c.changes = {File(deep + "/Help/Common/bds3.~HxT", TenLines(4))};
    add(c);
  }

  // The library's help files.
  {
    Case c = Patched("HelpFileIsADirectory", kRootDir, {File(kToc, TenLines(4))});
    c.before = {File(kToc, TenLines(4)), Directory(kHxS), File(kHxI, "HxI")};
    c.changes = {File(kToc, TenLinesWithout(4)), Gone(kHxI)};
    add(c);
  }
  {
    Case c = Patched("ReadOnlyHelpFileStays", kRootDir, {File(kToc, TenLines(4))});
    c.before = {File(kToc, TenLines(4)), File(kHxS, "HxS", true), File(kHxI, "HxI")};
    c.changes = {File(kToc, TenLinesWithout(4)), Gone(kHxI)};
    add(c);
  }
  {
    // Archives restore files dated 1970: they exist all the same.
    Case c = Patched("FilesDated1970", kRootDir, {});
    c.before = {Entry{kToc, TenLines(4), false, true}, Entry{kHxS, "HxS", false, true},
                File(kHxI, "HxI")};
    add(c);
  }
  {
    Case c = Patched("HelpFilesOnlyPartlyThere", kRootDir, {File(kToc, TenLines(4))});
    c.before = {File(kToc, TenLines(4)), File(kHxI, "HxI")};
    c.changes = {File(kToc, TenLinesWithout(4)), Gone(kHxI)};
    add(c);
  }
  return cases;
}

std::string EscapeForRegex(std::string_view text) {
  static const std::string kSpecial = "\\^$.|?*+()[]{}";
  std::string escaped;
  for (char c : text) {
    if (kSpecial.find(c) != std::string::npos) escaped.push_back('\\');
    escaped.push_back(c);
  }
  return escaped;
}

}  // namespace

bool operator==(const Entry& a, const Entry& b) {
  return a.path == b.path && a.contents == b.contents && a.read_only == b.read_only;
}

const std::vector<Case>& AllCases() {
  static const std::vector<Case> cases = MakeCases();
  return cases;
}

std::map<std::string, Entry> ExpectedAfter(const Case& c) {
  std::map<std::string, Entry> entries;
  for (const Entry& entry : c.before) entries[entry.path] = entry;
  for (const Entry& change : c.changes) {
    if (change.path.starts_with("-")) {
      entries.erase(change.path.substr(1));
    } else {
      entries[change.path] = change;
    }
  }
  for (auto& [path, entry] : entries) entry.dated_1970 = false;  // dates are not compared
  return entries;
}

bool MatchesStandardError(const std::string& pattern, const std::string& actual,
                          const PlatformTraits& traits) {
  std::string regex;
  std::size_t position = 0;
  while (position < pattern.size()) {
    const std::size_t open = pattern.find('{', position);
    const std::size_t close = open == std::string::npos ? open : pattern.find('}', open);
    if (close == std::string::npos) {
      regex += EscapeForRegex(pattern.substr(position));
      break;
    }
    regex += EscapeForRegex(pattern.substr(position, open - position));
    const std::string name = pattern.substr(open + 1, close - open - 1);
    if (name == "module") {
      regex += EscapeForRegex(traits.module_name);
    } else if (name == "position") {
      regex += "[0-9A-F]{8}";
    } else if (name.starts_with("os:")) {
      const auto text = traits.os_texts.find(name.substr(3));
      regex +=
          EscapeForRegex(text == traits.os_texts.end() ? "<unknown " + name + ">" : text->second);
    } else {
      regex += EscapeForRegex(pattern.substr(open, close - open + 1));
    }
    position = close + 1;
  }
  return std::regex_match(actual, std::regex(regex));
}

}  // namespace qvhelp::e2e
