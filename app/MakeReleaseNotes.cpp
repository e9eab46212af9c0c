// Writes the release notes as a PDF: text lines in the standard Helvetica
// font, one page per 50 lines. Usage: make_release_notes IN.txt OUT.pdf
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Escape(const std::string& line) {
  std::string out;
  for (char c : line) {
    if (c == '(' || c == ')' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_release_notes IN.txt OUT.pdf\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  const std::size_t perPage = 50;
  const std::size_t pages = lines.empty() ? 1 : (lines.size() + perPage - 1) / perPage;

  std::vector<std::string> objects;  // objects 1.. in order
  objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
  std::string kids;
  for (std::size_t p = 0; p < pages; ++p) kids += std::to_string(4 + 2 * p) + " 0 R ";
  objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>");
  objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
  for (std::size_t p = 0; p < pages; ++p) {
    std::ostringstream text;
    text << "BT /F1 11 Tf 56 790 Td 14 TL\n";
    for (std::size_t i = p * perPage; i < std::min(lines.size(), (p + 1) * perPage); ++i)
      text << "(" << Escape(lines[i]) << ") Tj T*\n";
    text << "ET";
    objects.push_back(
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 3 0 R >> "
        ">> "
        "/Contents " +
        std::to_string(5 + 2 * p) + " 0 R >>");
    objects.push_back("<< /Length " + std::to_string(text.str().size()) + " >>\nstream\n" +
                      text.str() + "\nendstream");
  }
  std::ostringstream pdf;
  pdf << "%PDF-1.4\n";
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(static_cast<std::size_t>(pdf.tellp()));
    pdf << i + 1 << " 0 obj\n" << objects[i] << "\nendobj\n";
  }
  const std::size_t xref = static_cast<std::size_t>(pdf.tellp());
  pdf << "xref\n0 " << objects.size() + 1 << "\n0000000000 65535 f \n";
  for (std::size_t offset : offsets) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    pdf << entry;
  }
  pdf << "trailer\n<< /Size " << objects.size() + 1 << " /Root 1 0 R >>\nstartxref\n"
      << xref << "\n%%EOF\n";
  std::ofstream out(argv[2], std::ios::binary);
  out << pdf.str();
  return out ? 0 : 1;
}
