// The Win32 side of the core's user-facing checks: the lifetime refusal box
// and the GUID services of adapter records.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "core/adapter_records.h"
#include "core/lifetime_text_win32.h"
#include "tests/win/support/gui_support.h"

namespace vantoric {
namespace {

class COwnerWindow {
 public:
  COwnerWindow()
      : m_hWnd(::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr,
                                 nullptr, nullptr)) {}
  ~COwnerWindow() { ::DestroyWindow(m_hWnd); }
  COwnerWindow(const COwnerWindow&) = delete;
  COwnerWindow& operator=(const COwnerWindow&) = delete;
  HWND Get() const { return m_hWnd; }

 private:
  HWND m_hWnd;
};

TEST(ValidateLifetimeText, RefusalShowsTheErrorBoxOwnedByTheWindow) {
  const COwnerWindow owner;
  ASSERT_NE(owner.Get(), nullptr);
  for (const char* text : {"", "1d2d", "1d2D", "2h1", "50000d"}) {
    test::CMessageBoxCatcher catcher;
    EXPECT_FALSE(ValidateLifetimeText(text, owner.Get())) << text;
    ASSERT_EQ(catcher.Boxes().size(), 1u) << text;
    const test::CaughtBox& box = catcher.Boxes()[0];
    EXPECT_EQ(box.text, "Invalid lifetime format.") << text;
    EXPECT_EQ(box.caption, "Vantoric") << text;
    EXPECT_EQ(box.icon, test::BoxIcon::Error) << text;
    EXPECT_EQ(box.owner, owner.Get()) << text;
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK})) << text;
  }
}

TEST(ValidateLifetimeText, AcceptedTextShowsNothing) {
  const COwnerWindow owner;
  test::CMessageBoxCatcher catcher;
  for (const char* text : {"1d2h3m4s", "1D2H", "30m", "49710d6h28m14s"})
    EXPECT_TRUE(ValidateLifetimeText(text, owner.Get())) << text;
  EXPECT_TRUE(catcher.Boxes().empty());
}

class CWin32GuidServices : public ::testing::Test {
 protected:
  void SetUp() override {
    m_previous = SetGuidServices(CGuidServices());
  }
  void TearDown() override { SetGuidServices(m_previous); }

 private:
  CGuidServices m_previous;
};

TEST_F(CWin32GuidServices, RecordsGetDistinctGuidsFromTheSystem) {
  test::CMessageBoxCatcher catcher;
  const CAdapterRecord first;
  const CAdapterRecord second;
  EXPECT_FALSE(first.m_guid.IsNull());
  EXPECT_FALSE(first.m_guid == second.m_guid);
  EXPECT_EQ(first.m_guid.m_nData3 >> 12, 4) << "a random (version 4) GUID";
  EXPECT_TRUE(catcher.Boxes().empty());
}

void NullGuid(CGuid& guid) { guid = CGuid(); }

TEST_F(CWin32GuidServices, NullGuidShowsTheMessageAndTheRecordIsUsable) {
  CGuidServices services = GetGuidServices();
  services.m_pfnCreateGuid = NullGuid;
  SetGuidServices(services);
  test::CMessageBoxCatcher catcher;
  CAdapterRecord record;
  ASSERT_EQ(catcher.Boxes().size(), 1u);
  EXPECT_EQ(catcher.Boxes()[0].text, "Unable to create new GUID!");
  EXPECT_EQ(catcher.Boxes()[0].caption, "Vantoric");
  EXPECT_EQ(catcher.Boxes()[0].buttons, (std::vector<int>{IDOK}));
  record.AddAddress("2001:db8::1", "infinite", "infinite");
  EXPECT_EQ(record.GetAddressKind(0), "Manual");
}

TEST_F(CWin32GuidServices, RandomIdentifiersComeFromTheSystemUuid) {
  CAdapterRecord record;
  const std::string first = record.MakeRandomIdentifier();
  const CGuid firstGuid = record.m_guid;
  const std::string second = record.MakeRandomIdentifier();
  EXPECT_FALSE(firstGuid.IsNull());
  EXPECT_FALSE(firstGuid == record.m_guid);
  EXPECT_NE(first, second);
  const std::regex form("0000:0000:0000:0000:[0-9a-f]{4}:[0-9a-f]{4}:[0-9a-f]{4}:[0-9a-f]{4}");
  EXPECT_TRUE(std::regex_match(first, form)) << first;
  EXPECT_TRUE(std::regex_match(second, form)) << second;
}

}  // namespace
}  // namespace vantoric
