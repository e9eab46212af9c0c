// The user manual as the build installs it: internal links that lead
// somewhere, pictures beside it, no outside resources, and the sections,
// metrics and command-line options a user looks for.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "CometMetrics.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

// The values of every attribute `name` ("href", "id", "src") in the page.
std::vector<std::string> AttributeValues(const std::string& html, const std::string& name) {
  const std::regex pattern("\\s" + name + "\\s*=\\s*\"([^\"]*)\"", std::regex::icase);
  std::vector<std::string> values;
  for (std::sregex_iterator it(html.begin(), html.end(), pattern), end; it != end; ++it)
    values.push_back((*it)[1]);
  return values;
}

// Links "#x" without an element of id "x".
std::vector<std::string> BrokenInternalLinks(const std::string& html) {
  const std::vector<std::string> list = AttributeValues(html, "id");
  const std::set<std::string> ids(list.begin(), list.end());
  std::vector<std::string> broken;
  for (const std::string& href : AttributeValues(html, "href"))
    if (!href.empty() && href[0] == '#' && ids.count(href.substr(1)) == 0) broken.push_back(href);
  return broken;
}

std::vector<std::string> DuplicateIds(const std::string& html) {
  std::set<std::string> seen;
  std::vector<std::string> twice;
  for (const std::string& id : AttributeValues(html, "id"))
    if (!seen.insert(id).second) twice.push_back(id);
  return twice;
}

// Pictures that are not files beside the page (`folder` is the page's folder).
std::vector<std::string> MissingPictures(const std::string& html, const std::string& folder) {
  std::vector<std::string> missing;
  for (const std::string& src : AttributeValues(html, "src"))
    if (!std::filesystem::is_regular_file(folder + "/" + src)) missing.push_back(src);
  return missing;
}

// Anything the browser would fetch from elsewhere: addresses with a scheme
// or a host in src or href (links to anchors and local pictures are fine),
// style sheets and scripts from files.
std::vector<std::string> OutsideResources(const std::string& html) {
  std::vector<std::string> outside;
  const std::regex remote("^([a-z][a-z0-9+.-]*:|//)", std::regex::icase);
  for (const char* attribute : {"src", "href"})
    for (const std::string& value : AttributeValues(html, attribute))
      if (std::regex_search(value, remote)) outside.push_back(value);
  const std::regex tags("<(link|script)\\b[^>]*>", std::regex::icase);
  for (std::sregex_iterator it(html.begin(), html.end(), tags), end; it != end; ++it)
    outside.push_back(it->str());
  return outside;
}

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

const std::string kManual = STRANDEX_MANUAL;
const std::string kManualFolder = std::filesystem::path(kManual).parent_path().string();

// --- the checks themselves, on small pages with known faults ---

struct CheckCase {
  const char* page;
  std::vector<std::string> brokenLinks;
  std::vector<std::string> outside;
};

TEST(UserManualChecks, FindBrokenLinksAndOutsideResources) {
  const std::vector<CheckCase> cases = {
      {R"(<a href="#a">x</a><h2 id="a">A</h2>)", {}, {}},
      {R"(<a href="#a">x</a><a href="#b">y</a><h2 id="a">A</h2>)", {"#b"}, {}},
      {R"(<a href="#A">x</a><h2 id="a">A</h2>)", {"#A"}, {}},
      {R"(<p id="x">no links</p>)", {}, {}},
      {R"(<a href="https://example.org/">x</a>)", {}, {"https://example.org/"}},
      {R"(<img src="//cdn.example.org/p.png" alt="">)", {}, {"//cdn.example.org/p.png"}},
      {R"(<link rel="stylesheet" href="style.css">)", {}, {R"(<link rel="stylesheet" href="style.css">)"}},
      {R"(<script src="x.js"></script>)", {}, {R"(<script src="x.js">)"}},
      {R"(<a href="#a" id="a">self</a> <img src="manual/p.png" alt="">)", {}, {}},
  };
  for (const CheckCase& c : cases) {
    EXPECT_EQ(BrokenInternalLinks(c.page), c.brokenLinks) << c.page;
    EXPECT_EQ(OutsideResources(c.page), c.outside) << c.page;
  }
}

TEST(UserManualChecks, FindMissingPicturesAndDuplicateIds) {
  TempDir folder;
  std::filesystem::create_directories(folder / "manual");
  WriteFile(folder / "manual/there.png", "\x89PNG");
  const std::string page =
      R"(<img src="manual/there.png" alt=""><img src="manual/gone.png" alt=""><img src="manual" alt="">)";
  EXPECT_EQ(MissingPictures(page, folder.Path()),
            (std::vector<std::string>{"manual/gone.png", "manual"}));
  EXPECT_EQ(DuplicateIds(R"(<h2 id="a"></h2><h3 id="b"></h3><p id="a"></p>)"),
            std::vector<std::string>{"a"});
}

// --- the manual of this build ---

class UserManualTest : public ::testing::Test {
 protected:
  std::string html_ = ReadFile(kManual);
};

TEST_F(UserManualTest, IsAWholePage) {
  ASSERT_FALSE(html_.empty()) << kManual;
  EXPECT_EQ(html_.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(html_.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(html_.find("</html>"), std::string::npos);
}

TEST_F(UserManualTest, EveryInternalLinkLeadsSomewhere) {
  EXPECT_EQ(BrokenInternalLinks(html_), std::vector<std::string>{});
  EXPECT_EQ(DuplicateIds(html_), std::vector<std::string>{});
}

TEST_F(UserManualTest, UsesNothingFromOutside) {
  EXPECT_EQ(OutsideResources(html_), std::vector<std::string>{});
}

TEST_F(UserManualTest, EveryPictureLiesBesideItAsASmallPng) {
  const std::vector<std::string> pictures = AttributeValues(html_, "src");
  ASSERT_FALSE(pictures.empty());
  EXPECT_EQ(MissingPictures(html_, kManualFolder), std::vector<std::string>{});
  std::uintmax_t total = 0;
  for (const std::string& src : pictures) {
    const std::string path = kManualFolder + "/" + src;
    if (!Exists(path)) continue;
    EXPECT_EQ(ReadFile(path).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << src;
    total += std::filesystem::file_size(path);
  }
  EXPECT_LT(total, 400u * 1024) << "the manual's pictures should stay small";
  // Every picture has a text for readers who cannot see it.
  const std::regex image("<img\\b[^>]*>");
  for (std::sregex_iterator it(html_.begin(), html_.end(), image), end; it != end; ++it)
    EXPECT_NE(it->str().find(" alt=\""), std::string::npos) << it->str();
}

TEST_F(UserManualTest, HoldsEverySectionAndLinksItFromTheContents) {
  const char* const sections[] = {
      "contents", "window",      "workflow", "open",    "cutoff",     "score",
      "manual-scoring", "review", "grid",    "filter",  "export",     "finding",
      "auto-cutoff", "head",     "split",    "metrics", "calibration", "statistics",
      "results",  "cdb-format",  "actions",  "keys",    "menus",      "toolbar",
      "mouse",    "preferences", "cli",      "bad-files", "settings", "methods"};
  const std::vector<std::string> list = AttributeValues(html_, "id");
  const std::set<std::string> ids(list.begin(), list.end());
  const std::vector<std::string> hrefs = AttributeValues(html_, "href");
  const std::set<std::string> links(hrefs.begin(), hrefs.end());
  for (const char* section : sections) {
    EXPECT_EQ(ids.count(section), 1u) << section;
    if (std::string(section) != "contents") {
      EXPECT_EQ(links.count(std::string("#") + section), 1u) << "nothing links to " << section;
    }
  }
}

TEST_F(UserManualTest, DefinesEveryMetricInOneRowOfTheMetricTable) {
  const std::size_t table = html_.find("<h2 id=\"metrics\">");
  const std::size_t end = html_.find("</table>", table);
  ASSERT_NE(table, std::string::npos);
  const std::string rows = html_.substr(table, end - table);
  for (int m = 0; m < kMetricCount; ++m) {
    const std::string cells =
        "<td>" + std::to_string(m) + "</td><td>" + kMetricNames[m] + "</td>";
    EXPECT_NE(rows.find(cells), std::string::npos) << kMetricNames[m];
  }
}

TEST_F(UserManualTest, DescribesEveryCommandAndOptionOfTheCommandLine) {
  TempDir home;  // the program's log and settings go here
  ScopedEnv env("STRANDEX_HOME", home.Path().c_str());
  const std::string cli = STRANDEX_CLI;
  const std::string help = Output(cli + " --help");
  ASSERT_NE(help.find("usage: strandex-cli"), std::string::npos);
  EXPECT_NE(html_.find(help.substr(0, help.find('\n'))), std::string::npos)
      << "the manual quotes the program's own help";
  const std::regex command("^  ([a-z]+) ");
  const std::regex option("--[a-z]+");
  int commands = 0;
  std::istringstream lines(help);
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (!std::regex_search(line, m, command)) continue;
    ++commands;
    const std::string name = m[1];
    EXPECT_NE(html_.find("id=\"cli-" + name + "\""), std::string::npos) << name;
    const std::string text = Output(cli + " " + name + " --help");
    for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it)
      if (it->str() != "--help") {
        EXPECT_NE(html_.find("<code>" + it->str()), std::string::npos)
            << name << " " << it->str();
      }
  }
  EXPECT_EQ(commands, 5);
}

}  // namespace
