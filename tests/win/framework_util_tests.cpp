// UTF-8 conversion, owned handles, the registry profile and the screen
// readers' apartment.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/accessible_object.h"
#include "framework/controls.h"
#include "framework/handles.h"
#include "framework/profile.h"
#include "framework/system_library.h"
#include "framework/utf8.h"
#include "framework/window.h"

namespace vantoric {
namespace {

struct NamedText {
  const char* script;
  const char* utf8;
  size_t utf16Units;
};

// Interface names as an administrator might have given them.
const NamedText kNames[] = {
    {"Latin", "Ethernet 2", 10},
    {"Latin-1, just above ASCII", "Réseau local \u0080", 14},
    {"Cyrillic", "Подключение по локальной сети", 29},
    {"Greek", "Σύνδεση τοπικού δικτύου", 23},
    {"Han", "本地连接 2", 6},
    {"Japanese", "イーサネット", 6},
    {"Arabic", "اتصال محلي", 10},
    {"Devanagari", "ईथरनेट", 6},
    {"astral plane", "Netz 🖧 𝔸", 10},
};

TEST(Utf8, RoundTripsNamesInManyScripts) {
  for (const auto& n : kNames) {
    const std::wstring w = Widen(n.utf8);
    EXPECT_EQ(w.size(), n.utf16Units) << n.script;
    EXPECT_EQ(Narrow(w), n.utf8) << n.script;
  }
}

TEST(Utf8, RoundTripsThroughARealWindowText) {
  HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  for (const auto& n : kNames) {
    CWindow::SetText(edit, n.utf8);
    EXPECT_EQ(CWindow::GetText(edit), n.utf8) << n.script;
  }
  ::DestroyWindow(edit);
}

TEST(Utf8, ListTextsOfAnyLengthAreReadWhole) {
  ::InitCommonControls();
  HWND list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                nullptr);
  ASSERT_NE(list, nullptr);
  const CListView view(list);
  view.InsertColumn(0, "c", LVCFMT_LEFT, 50);
  // Lengths about the list's and the program's own buffers; a short text
  // beyond ASCII.
  std::vector<std::string> texts;
  for (const size_t length : {size_t{0}, size_t{63}, size_t{64}, size_t{255}, size_t{256}, size_t{511}, size_t{512},
                              size_t{3000}})
    texts.emplace_back(length, 'x');
  texts.emplace_back("Réseau");
  for (const std::string& text : texts) {
    view.InsertItem(0, text);
    EXPECT_EQ(view.GetItemText(0, 0), text) << text.size() << " bytes";
    view.DeleteAllItems();
  }
  ::DestroyWindow(list);
}

TEST(Utf8, EmptyAndInvalidInput) {
  EXPECT_EQ(Widen(""), L"");
  EXPECT_EQ(Narrow(std::wstring_view()), "");
  EXPECT_EQ(Narrow(static_cast<const wchar_t*>(nullptr)), "");
  // A lone continuation byte is replaced, not dropped, and the rest survives.
  EXPECT_EQ(Widen("a\x80z"), L"a\xFFFDz");
  // Embedded NULs are kept: lengths, not terminators, decide.
  EXPECT_EQ(Widen(std::string_view("a\0b", 3)).size(), 3u);
}

TEST(Handles, OwnersReleaseExactlyOnceAndMove) {
  HFONT raw = ::CreateFontW(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  ASSERT_NE(raw, nullptr);
  {
    CFont font(raw);
    CFont moved(std::move(font));
    EXPECT_FALSE(font);
    EXPECT_EQ(moved.get(), raw);
    EXPECT_EQ(::GetObjectType(raw), static_cast<DWORD>(OBJ_FONT));
  }
  EXPECT_EQ(::GetObjectType(raw), 0u) << "the font was deleted when its owner went away";

  HANDLE ev = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  CHandle owner(ev);
  CHandle other;
  other = std::move(owner);
  EXPECT_EQ(other.get(), ev);
  other.reset();
  DWORD flags = 0;
  EXPECT_FALSE(::GetHandleInformation(ev, &flags)) << "the event handle was closed";

  CHandle invalid(INVALID_HANDLE_VALUE);
  EXPECT_FALSE(invalid) << "INVALID_HANDLE_VALUE counts as no handle";
}

// Each test has a section of its own: ctest runs them at the same time, in
// one prefix, and one test's clean-up must not take the other's key away.
class ProfileTest : public ::testing::Test {
 protected:
  void UseSection(const wchar_t* section) {
    m_key = std::wstring(L"Software\\Vantoric Tests\\Профиль\\") + section;
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str());
  }
  void TearDown() override {
    if (!m_key.empty()) ::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str());
  }
  CProfile profile{"Vantoric Tests", "Профиль"};
  std::wstring m_key;
};

TEST_F(ProfileTest, IntegersRoundTripThroughTheRegistry) {
  UseSection(L"66");
  EXPECT_EQ(profile.GetProfileInt("66", "CX", 7), 7) << "missing value gives the default";
  ASSERT_TRUE(profile.WriteProfileInt("66", "CX", 640));
  ASSERT_TRUE(profile.WriteProfileInt("66", "CY", -3));
  EXPECT_EQ(profile.GetProfileInt("66", "CX", 0), 640);
  EXPECT_EQ(profile.GetProfileInt("66", "CY", 0), -3);

  // The value sits where an administrator would look for it.
  DWORD value = 0, size = sizeof value;
  ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Vantoric Tests\\Профиль\\66", L"CX",
                           RRF_RT_REG_DWORD, nullptr, &value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(value, 640u);
}

TEST_F(ProfileTest, ValueOfAnotherTypeGivesTheDefault) {
  UseSection(L"67");
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const wchar_t text[] = L"640";
  ::RegSetValueExW(key, L"CX", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
  ::RegCloseKey(key);
  EXPECT_EQ(profile.GetProfileInt("67", "CX", 5), 5);
}

TEST(ResourceString, LoadsTableEntriesAsUtf8) {
  EXPECT_EQ(LoadResourceString(101), "&About Vantoric...");
  EXPECT_EQ(LoadResourceString(1082).rfind("https://", 0), 0u);
  EXPECT_EQ(LoadResourceString(4321), "");
}

// A thread becomes a COM apartment at its first answer to a screen reader,
// not before, and stops being one when it leaves.
TEST(AccessibleObject, TheFirstAnswerMakesTheThreadAnApartmentUntilItLeaves) {
  using ApartmentTypeFn = HRESULT(WINAPI*)(APTTYPE*, APTTYPEQUALIFIER*);
  const auto pfnType = GetSystemFunction<ApartmentTypeFn>(L"ole32.dll", "CoGetApartmentType");
  ASSERT_NE(pfnType, nullptr);
  std::vector<std::string> seen;
  // A thread of its own: the test runner's may be an apartment already.
  std::thread([&] {
    const auto state = [&]() -> std::string {
      APTTYPE type{};
      APTTYPEQUALIFIER qualifier{};
      if (pfnType(&type, &qualifier) != S_OK) return "none";
      return type == APTTYPE_STA || type == APTTYPE_MAINSTA ? "apartment" : "another kind";
    };
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"Name", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    seen.push_back(state());
    LRESULT result = 0;
    seen.push_back(AnswerAccessibleObject(hwnd, 0, static_cast<LPARAM>(OBJID_CLIENT), {}, result) ? state()
                                                                                                 : "no answer");
    LeaveAccessibleApartment();
    seen.push_back(state());
    ::DestroyWindow(hwnd);
  }).join();
  EXPECT_EQ(seen, (std::vector<std::string>{"none", "apartment", "none"}));
}

}  // namespace
}  // namespace vantoric
