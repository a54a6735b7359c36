// The HTML manual staged into the bundle: it names every parameter, stays self-contained, and
// its tags are balanced, so a browser shows all of it.

#include <fstream>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "source/SkarvelParameterTable.h"

namespace {

std::string manual() {
  std::ifstream file(SKARVEL_MANUAL_PATH, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(ManualTest, NamesEveryParameterAsHostsAndPresetFilesDo) {
  const std::string text = manual();
  ASSERT_FALSE(text.empty()) << SKARVEL_MANUAL_PATH;
  for (const auto& entry : skarvel::kParameterTable)
    EXPECT_NE(text.find("<code>" + std::string(entry.name) + "</code>"), std::string::npos) << entry.name;
}

TEST(ManualTest, NeedsNothingFromTheNetwork) {
  const std::string text = manual();
  const std::regex external(R"((src|href)\s*=\s*"(https?:)?//)");
  EXPECT_FALSE(std::regex_search(text, external)) << "the manual must open offline";
  EXPECT_NE(text.find("<meta charset=\"utf-8\">"), std::string::npos);
}

TEST(ManualTest, EveryBlockElementIsClosed) {
  const std::string text = manual();
  for (const char* tag : {"section", "table", "tr", "ol", "ul", "pre", "p", "h2", "h3", "nav", "main"}) {
    const std::string name(tag);
    const std::size_t opened = count(text, "<" + name + ">") + count(text, "<" + name + " ");
    EXPECT_EQ(opened, count(text, "</" + name + ">")) << "<" << name << ">";
  }
}

TEST(ManualTest, EveryContentsLinkHasItsSection) {
  const std::string text = manual();
  const std::regex link(R"re(href="#([a-z]+)")re");
  int links = 0;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), link); it != std::sregex_iterator(); ++it, ++links)
    EXPECT_NE(text.find("id=\"" + (*it)[1].str() + "\""), std::string::npos) << (*it)[1].str();
  EXPECT_GE(links, 13);
}

}  // namespace
