// `vantoric /list`: the real program started as a script starts it, its
// output parsed and held against what the main window shows on the same
// machine; wrong command lines and unwritable files.
#include <windows.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/utf8.h"
#include "tests/win/main_window_fixture.h"
#include "tests/win/support/program_run.h"

namespace vantoric {
namespace {

using Json = nlohmann::json;
using namespace test;

CProgramRun RunProgram(const std::wstring& args) { return test::RunProgram(BuildFile(VANTORIC_EXE_RELATIVE), args); }

// What the window lists: each adapter by name with its address rows.
Json WindowView(const std::vector<std::string>& names, const std::vector<std::vector<Row>>& rows) {
  Json view = Json::array();
  for (size_t i = 0; i < names.size(); ++i) {
    Json addresses = Json::array();
    for (const Row& row : rows[i])
      addresses.push_back({row.address, row.kind, row.state, row.valid, row.preferred});
    view.push_back({{"name", names[i]}, {"addresses", addresses}});
  }
  return view;
}

Json ListingView(const Json& listing) {
  Json view = Json::array();
  for (const Json& adapter : listing["adapters"]) {
    Json addresses = Json::array();
    for (const Json& a : adapter["addresses"])
      addresses.push_back({a["address"], a["kind"], a["state"], a["valid_lifetime"], a["preferred_lifetime"]});
    view.push_back({{"name", adapter["friendly_name"]}, {"addresses", addresses}});
  }
  return view;
}

TEST_F(MainWindow, ListHandsScriptsWhatTheWindowShows) {
  // The machine's own adapters, as the window shows them.
  ASSERT_NE(Open(), nullptr);
  const std::vector<std::string> names = ChooserEntries();
  std::vector<std::vector<Row>> rows;
  for (size_t i = 0; i < names.size(); ++i) {
    Choose(static_cast<int>(i));
    rows.push_back(Rows());
  }
  const Json window = WindowView(names, rows);
  ASSERT_FALSE(names.empty()) << "Wine lists at least its loopback adapter";

  const CProgramRun piped = RunProgram(L"/list");
  EXPECT_EQ(piped.exitCode, 0u) << piped.err;
  const Json fromPipe = Json::parse(piped.out, nullptr, false);
  ASSERT_FALSE(fromPipe.is_discarded()) << piped.out;
  EXPECT_EQ(fromPipe["format"], 1);
  EXPECT_EQ(ListingView(fromPipe), window);

  // A folder of the build tree, named as Windows names it.
  std::string file = "Z:" + ScreenshotPath("listing.json");
  for (char& c : file) c = c == '/' ? '\\' : c;
  ::DeleteFileW(Widen(file).c_str());
  const CProgramRun toFile = RunProgram(L"/LIST \"" + Widen(file) + L"\"");
  EXPECT_EQ(toFile.exitCode, 0u) << toFile.err;
  EXPECT_EQ(toFile.out, "") << "nothing on standard output";
  std::ifstream in(Widen(file).c_str(), std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(written.size(), 3u);
  EXPECT_NE(written.substr(0, 3), "\xEF\xBB\xBF") << "no byte-order mark";
  const Json fromFile = Json::parse(written, nullptr, false);
  ASSERT_FALSE(fromFile.is_discarded()) << written;
  EXPECT_EQ(ListingView(fromFile), window);
  EXPECT_TRUE(::IsWindow(m_hwnd)) << "the running window is not disturbed";
}

TEST(ListCommand, WrongCommandLinesAndUnwritableFilesEndWithTwo) {
  const struct {
    std::wstring args;
    std::string err;
    const char* why;
  } cases[] = {
      {L"/list /bogus", "Unknown switch after /list: /bogus", "an unknown switch"},
      {L"/list a.json b.json", "More than one file name after /list: b.json", "two files"},
      {L"/list Z:\\no\\such\\folder\\a.json", "could not be written", "a folder that does not exist"},
  };
  for (const auto& c : cases) {
    const CProgramRun run = RunProgram(c.args);
    EXPECT_EQ(run.exitCode, 2u) << c.why;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << c.why << ": " << run.err;
    EXPECT_EQ(run.out, "") << c.why;
  }
  const CProgramRun usage = RunProgram(L"/?");
  EXPECT_EQ(usage.exitCode, 0u);
  EXPECT_EQ(usage.out.rfind("Usage: vantoric", 0), 0u) << usage.out;
}

}  // namespace
}  // namespace vantoric
