// The table-of-contents patch.
#include "help_toc/help_toc_patch.h"

#include <cstdint>
#include <new>
#include <string_view>

#include "help_toc/help_toc_lines.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace qvhelp {
namespace {

constexpr std::string_view LibraryMarker = "Quorvane Components";
constexpr int kEntryBlockLines = 3;

std::string ReadCatalogue(const std::string& path) {
  platform::FileForReading file = platform::FileForReading::Open(path);
  const std::uint64_t size = file.Size();
  std::string text;
  if (size > text.max_size()) throw std::bad_alloc();
  text.resize(static_cast<std::size_t>(size));
  if (file.Read(text.data(), text.size()) != text.size()) Raise<EReadError>("Stream read error");
  return text;
}

bool WriteWhole(platform::FileForWriting& file, std::string_view text) {
  return text.empty() || file.Write(text.data(), text.size()) == text.size();
}

// Creating the file empties it, so a write that falls short would leave the catalogue cut
// off: the original bytes go back before the error passes on. The backup copy stays either way.
void WriteCatalogue(const std::string& path, std::string_view text, std::string_view original) {
  platform::FileForWriting file = platform::FileForWriting::Create(path);
  if (WriteWhole(file, text)) return;
  if (file.Rewind()) WriteWhole(file, original);
  Raise<EWriteError>("Stream write error");
}

}  // namespace

void PatchHelpToc(const std::string& HelpTocPath, const std::string& HelpTocBackupPath) {
  platform::CopyFile(HelpTocPath, HelpTocBackupPath);
  const std::string original = ReadCatalogue(HelpTocPath);
  HelpTocLines lines(original);

  const std::int64_t MarkerIndex = lines.IndexOfFirstContaining(LibraryMarker);
  const bool MarkerFound = MarkerIndex >= 0;
  if (MarkerFound) {
    for (int removed = 0; removed < kEntryBlockLines; ++removed) lines.Delete(MarkerIndex);
    // Put together before the catalogue is emptied, so that running out of memory leaves it whole.
    const std::string patched = lines.Join();
    WriteCatalogue(HelpTocPath, patched, original);
  }
  platform::DeleteFile(HelpTocBackupPath);
}

}  // namespace qvhelp
