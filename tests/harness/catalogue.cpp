#include "tests/harness/catalogue.h"

namespace qvhelp::harness {
namespace {

std::string Topic(int index) {
  return "<HelpTOCNode Title=\"Topic " + std::to_string(index) + "\"/>";
}

}  // namespace

std::string CatalogueText(int lines, int marker_index, std::string_view line_break,
                          const std::string& marker_line) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    text += i == marker_index ? marker_line : Topic(i);
    text += line_break;
  }
  return text;
}

std::string PatchedCatalogueText(int lines, int marker_index) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    if (i < marker_index || i > marker_index + 2) text += Topic(i) + "\r\n";
  }
  return text;
}

}  // namespace qvhelp::harness
