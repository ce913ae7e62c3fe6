// The table-of-contents patch.
#include "help_toc/help_toc_patch.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <span>
#include <string_view>

#include "help_toc/help_toc_lines.h"
#include "help_toc/text_cut.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace qvhelp {
namespace {

constexpr std::string_view LibraryMarker = "Quorvane Components";
constexpr int kEntryBlockLines = 3;

// The catalogue's bytes, in a buffer that is not cleared first: it is read over whole.
struct CatalogueText {
  std::unique_ptr<char[]> bytes;
  std::size_t size;
  std::string_view View() const { return {bytes.get(), size}; }
  std::span<char> Buffer() { return {bytes.get(), size}; }
};

CatalogueText ReadCatalogue(const std::string& path) {
  platform::FileForReading file = platform::FileForReading::Open(path);
  const std::uint64_t size = file.Size();
  if (size >= std::numeric_limits<std::size_t>::max()) throw std::bad_alloc();
  CatalogueText text{std::unique_ptr<char[]>(new char[size]), static_cast<std::size_t>(size)};
  platform::AdviseBufferFill(text.bytes.get(), text.size);
  if (file.Read(text.bytes.get(), text.size) != text.size) Raise<EReadError>("Stream read error");
  return text;
}

bool WriteWhole(platform::FileForWriting& file, std::string_view text) {
  return text.empty() || file.Write(text.data(), text.size()) == text.size();
}

// Creating the file empties it, so a write that falls short would leave the catalogue cut
// off: the original bytes go back before the error passes on. The backup copy stays either way.
template <typename GetOriginal>
void WriteCatalogue(const std::string& path, std::string_view text, GetOriginal original) {
  platform::FileForWriting file = platform::FileForWriting::Create(path);
  if (WriteWhole(file, text)) return;
  if (file.Rewind()) WriteWhole(file, original());
  Raise<EWriteError>("Stream write error");
}

}  // namespace

void PatchHelpToc(const std::string& HelpTocPath, const std::string& HelpTocBackupPath) {
  platform::CopyFile(HelpTocPath, HelpTocBackupPath);
  CatalogueText original = ReadCatalogue(HelpTocPath);
  HelpTocLines lines(original.View());

  const std::int64_t MarkerIndex = lines.IndexOfFirstContaining(LibraryMarker);
  const bool MarkerFound = MarkerIndex >= 0;
  if (MarkerFound) {
    for (int removed = 0; removed < kEntryBlockLines; ++removed) lines.Delete(MarkerIndex);
    // Put together before the catalogue is emptied, so that running out of memory leaves it
    // whole. When the breaks stay as they are, the text is patched where it was read, which
    // spares a second buffer of its size; the cut can be undone if the original must go back.
    if (auto joined = lines.JoinInPieces()) {
      TextCut patched(original.Buffer(), joined->pieces, joined->tail);
      WriteCatalogue(HelpTocPath, patched.Text(), [&patched] { return patched.Undo(); });
    } else {
      const std::string patched = lines.Join();
      WriteCatalogue(HelpTocPath, patched, [&original] { return original.View(); });
    }
  }
  platform::DeleteFile(HelpTocBackupPath);
}

}  // namespace qvhelp
