// The table-of-contents patch.
#include "help_toc/help_toc_patch.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string_view>

#include "help_toc/entry_block.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace qvhelp {
namespace {

constexpr std::string_view LibraryMarker = "Quorvane Components";
// Beside the catalogue while its replacement is written; a run that is cut short leaves it
// there under this name, and the next run removes it.
constexpr std::string_view NewHelpTocSuffix = ".qvhelp-new";

// The catalogue's bytes, in a buffer that is not cleared first: it is read over whole.
struct CatalogueText {
  std::unique_ptr<char[]> bytes;
  std::size_t size;
  std::string_view View() const { return {bytes.get(), size}; }
};

CatalogueText ReadCatalogue(const std::string& path) {
  platform::FileForReading file = platform::FileForReading::Open(path);
  const std::uint64_t size = file.Size();
  if (size >= std::numeric_limits<std::size_t>::max()) throw std::bad_alloc();
  CatalogueText text{std::unique_ptr<char[]>(new char[size]), static_cast<std::size_t>(size)};
  if (file.Read(text.bytes.get(), text.size) != text.size) Raise<EReadError>("Stream read error");
  return text;
}

// The catalogue itself is never written: the text goes to a new file beside it, which is
// flushed and then swapped in whole, so that it is at every moment the original or the patch.
void WriteCatalogue(const std::string& path, std::span<const std::string_view> text) {
  const std::string new_path = path + std::string(NewHelpTocSuffix);
  platform::FileReplacement replacement = platform::FileReplacement::Begin(path, new_path);
  for (std::string_view span : text) {
    if (!span.empty() && replacement.Write(span.data(), span.size()) != span.size()) {
      Raise<EWriteError>("Stream write error");
    }
  }
  if (!replacement.Flush()) Raise<EWriteError>("Stream write error");
  replacement.Commit();
}

}  // namespace

void PatchHelpToc(const std::string& HelpTocPath, const std::string& HelpTocBackupPath) {
  platform::CopyFile(HelpTocPath, HelpTocBackupPath);
  const CatalogueText original = ReadCatalogue(HelpTocPath);
  const std::optional<EntryBlock> block = FindEntryBlock(original.View(), LibraryMarker);
  const bool MarkerFound = block.has_value();
  if (MarkerFound) {
    const PatchedCatalogue patched(original.View(), *block);
    WriteCatalogue(HelpTocPath, patched.Spans());
  }
  platform::DeleteFile(HelpTocBackupPath);
}

}  // namespace qvhelp
