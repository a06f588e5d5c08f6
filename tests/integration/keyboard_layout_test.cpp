// The fallback registration against Wine's real registry: Keyboard Layouts states and
// preload lists prepared in the fresh prefix, both registry families, the run's code page.
#include "integration/keyboard_layout.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "setup/installer_state.h"
#include "tests/harness/message_boxes.h"
#include "tests/integration/box_texts.h"
#include "tests/integration/registry_fixture.h"
#include "tests/integration/test_system.h"

namespace {

const std::string layouts = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
const std::string user_layout = "keyboard layout";
const std::string user_preload = "keyboard layout\\preload";

bool big5() { return expected_system().code_page == 950; }

// The product's layout text as each code page's system stores and shows it.
std::wstring product_text() { return big5() ? L"智能映舟輸入平台  7.9" : L"智能映舟输入平台  7.9"; }

std::string folded(std::string id, windows_family family) {
  for (char& c : id) c = static_cast<char>(family == windows_family::win9x ? toupper(c) : tolower(c));
  return id;
}

void put_wide_text(const std::string& id, const std::wstring& text) {
  reg::make_key(HKEY_LOCAL_MACHINE, layouts + "\\" + id);
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (layouts + "\\" + id).c_str(), 0, KEY_ALL_ACCESS, &key));
  RegSetValueExW(key, L"layout text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * 2));
  RegCloseKey(key);
}

// An earlier entry of the product, with values that the registration must rewrite.
void put_product_entry(const std::string& id) {
  put_wide_text(id, product_text());
  reg::put(HKEY_LOCAL_MACHINE, layouts + "\\" + id, "IME file", "OLD.IME");
  reg::put(HKEY_LOCAL_MACHINE, layouts + "\\" + id, "layout file", "old.dll");
}

void expect_product_entry(const std::string& id, windows_family family) {
  const std::string key = layouts + "\\" + id;
  ASSERT_TRUE(reg::exists(HKEY_LOCAL_MACHINE, key)) << id;
  EXPECT_EQ("YINGZU4.IME", reg::get(HKEY_LOCAL_MACHINE, key, "IME file").value_or("<none>"));
  EXPECT_EQ(family == windows_family::win9x ? "kbdus.kbd" : "kbdus.dll",
            reg::get(HKEY_LOCAL_MACHINE, key, "layout file").value_or("<none>"));
  const std::wstring wide_key(key.begin(), key.end());
  EXPECT_EQ(product_text(), reg::get_wide(HKEY_LOCAL_MACHINE, wide_key, L"layout text").value_or(L"<none>"));
  const auto stored = reg::type_and_size(HKEY_LOCAL_MACHINE, key, "layout text");
  ASSERT_TRUE(stored);
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored->first);
}

void put_list(windows_family family, const std::vector<std::string>& ids) {
  if (family == windows_family::win9x)
    reg::put_9x_list(HKEY_CURRENT_USER, user_preload, ids);
  else
    reg::put_nt_list(HKEY_CURRENT_USER, user_preload, ids);
}

std::vector<std::string> get_list(windows_family family) {
  return family == windows_family::win9x ? reg::get_9x_list(HKEY_CURRENT_USER, user_preload)
                                         : reg::get_nt_list(HKEY_CURRENT_USER, user_preload);
}

const char* family_name(windows_family family) { return family == windows_family::win9x ? "9x" : "nt"; }

class Registration : public testing::Test {
 protected:
  void SetUp() override {
    reset_installer_state();
    reg::remove_tree(HKEY_LOCAL_MACHINE, layouts);
    reg::remove_tree(HKEY_CURRENT_USER, user_layout);
  }
};

struct prepared_key {
  std::string id;
  // The "layout text": other text, the product's (true) or none at all.
  enum { other, product, no_text } text;
};

struct layout_case {
  const char* name;
  std::vector<prepared_key> keys;
  std::string id_936, id_950;           // the product's entry afterwards
  std::vector<std::string> gone_936, gone_950;  // keys that must have gone
  std::vector<std::string> untouched;   // product keys that keep their old values
  bool adds_key;                        // one key more than before, on both code pages
};

std::vector<prepared_key> many_other_keys() {
  // 300 layouts E0010409, E0020409 ... E12C0409, and the product's entry at the lowest
  // enumeration index, beyond the 250 places that the registration examines.
  std::vector<prepared_key> keys;
  for (unsigned i = 1; i <= 300; ++i) {
    char id[16];
    std::snprintf(id, sizeof id, "%08X", 0xE0000409u + i * 0x10000u);
    keys.push_back({id, prepared_key::other});
  }
  keys.push_back({"00AA0804", prepared_key::product});
  return keys;
}

const layout_case layout_cases[] = {
    {"NoE0Ids",
     {{"00000409", prepared_key::other}, {"00000804", prepared_key::other}, {"00000404", prepared_key::other}},
     "E0010804", "E0010404", {}, {}, {}, true},
    {"GreatestReadableE0200409",
     {{"E0100804", prepared_key::other}, {"E0200409", prepared_key::other}, {"E0300409", prepared_key::no_text},
      {"00000409", prepared_key::other}},
     "E0210804", "E0210404", {}, {}, {}, true},
    {"ProductEntryUnderE0050804",
     {{"E0050804", prepared_key::product}, {"E0100409", prepared_key::other}},
     "E0050804", "E0050404", {}, {"E0050804"}, {}, false},
    {"ProductEntryUnderE0050409",
     {{"E0050409", prepared_key::product}, {"E0100409", prepared_key::other}},
     "E0050804", "E0050404", {"E0050409"}, {"E0050409"}, {}, false},
    {"TwoProductEntriesHigherIndexWins",
     {{"E0030804", prepared_key::product}, {"E0070804", prepared_key::product}},
     "E0070804", "E0070404", {}, {"E0070804"}, {"E0030804"}, false},
    {"MoreSubkeysThanIdTablePlaces", many_other_keys(), "E12D0804", "E12D0404", {}, {}, {"00AA0804"}, true},
};

class KeyboardLayouts
    : public Registration,
      public testing::WithParamInterface<std::tuple<layout_case, windows_family>> {};

TEST_P(KeyboardLayouts, EntryAndPreloadPlace) {
  const layout_case& c = std::get<0>(GetParam());
  const windows_family family = std::get<1>(GetParam());
  for (const prepared_key& key : c.keys) {
    if (key.text == prepared_key::product)
      put_product_entry(key.id);
    else if (key.text == prepared_key::other)
      put_wide_text(key.id, L"Some other layout");
    else
      reg::make_key(HKEY_LOCAL_MACHINE, layouts + "\\" + key.id);
  }
  put_list(family, {"00000409"});
  const size_t keys_before = reg::subkeys(HKEY_LOCAL_MACHINE, layouts).size();

  box_recorder recorder;
  register_keyboard_layout_for(family);

  EXPECT_TRUE(recorder.boxes().empty());
  const std::string& id = big5() ? c.id_950 : c.id_936;
  expect_product_entry(id, family);
  for (const std::string& gone : big5() ? c.gone_950 : c.gone_936)
    EXPECT_FALSE(reg::exists(HKEY_LOCAL_MACHINE, layouts + "\\" + gone)) << gone;
  for (const std::string& kept : c.untouched)
    EXPECT_EQ("OLD.IME", reg::get(HKEY_LOCAL_MACHINE, layouts + "\\" + kept, "IME file").value_or("<none>"))
        << kept;
  // A reused entry adds no key, a renamed one replaces one, a new one adds one.
  EXPECT_EQ(keys_before + (c.adds_key ? 1 : 0), reg::subkeys(HKEY_LOCAL_MACHINE, layouts).size());
  EXPECT_EQ((std::vector<std::string>{"00000409", folded(id, family)}), get_list(family));
}

INSTANTIATE_TEST_SUITE_P(
    States, KeyboardLayouts,
    testing::Combine(testing::ValuesIn(layout_cases), testing::Values(windows_family::nt, windows_family::win9x)),
    [](const testing::TestParamInfo<KeyboardLayouts::ParamType>& info) {
      return std::string(std::get<0>(info.param).name) + "_" + family_name(std::get<1>(info.param));
    });

// The id the registration makes in an empty Keyboard Layouts, and the same id with the
// other code page's suffix.
std::string new_id() { return big5() ? "E0010404" : "E0010804"; }
std::string other_language_id() { return big5() ? "E0010804" : "E0010404"; }

std::vector<std::string> forty_nine_others() {
  std::vector<std::string> ids;
  for (int place = 1; place <= 49; ++place) {
    char id[16];
    std::snprintf(id, sizeof id, "0000%04d", place);
    ids.push_back(id);
  }
  return ids;
}

struct preload_case {
  const char* name;
  // Lists as functions of the family's letter case: "%" stands for the new id, "~" for
  // the other language's id, "^" for the new id in the other letter case.
  std::vector<std::string> before;
  std::vector<std::string> after;
};

const preload_case preload_cases[] = {
    {"EmptyListGetsPlace1", {}, {"%"}},
    {"ListedInOtherLetterCase", {"00000409", "^"}, {"00000409", "^"}},
    {"OtherLanguageAtPlace3Overwritten", {"00000409", "00000804", "~", "e0020804"},
     {"00000409", "00000804", "%", "e0020804"}},
    {"DifferenceBeforeTheSuffixAppends", {"e0020804"}, {"e0020804", "%"}},
    {"ShortEntryDifferingInTheSuffixOverwritten", {"00000409", "e00108"}, {"00000409", "%"}},
};

std::vector<std::string> expand(const std::vector<std::string>& list, windows_family family) {
  const windows_family other_case = family == windows_family::nt ? windows_family::win9x : windows_family::nt;
  std::vector<std::string> ids;
  for (const std::string& entry : list) {
    if (entry == "%")
      ids.push_back(folded(new_id(), family));
    else if (entry == "~")
      ids.push_back(folded(other_language_id(), family));
    else if (entry == "^")
      ids.push_back(folded(new_id(), other_case));
    else
      ids.push_back(entry);
  }
  return ids;
}

class PreloadLists : public Registration,
                     public testing::WithParamInterface<std::tuple<preload_case, windows_family>> {};

TEST_P(PreloadLists, PlaceOfTheId) {
  const preload_case& c = std::get<0>(GetParam());
  const windows_family family = std::get<1>(GetParam());
  reg::make_key(HKEY_LOCAL_MACHINE, layouts);
  put_list(family, expand(c.before, family));

  box_recorder recorder;
  register_keyboard_layout_for(family);

  EXPECT_TRUE(recorder.boxes().empty());
  expect_product_entry(new_id(), family);
  EXPECT_EQ(expand(c.after, family), get_list(family));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, PreloadLists,
    testing::Combine(testing::ValuesIn(preload_cases), testing::Values(windows_family::nt, windows_family::win9x)),
    [](const testing::TestParamInfo<PreloadLists::ParamType>& info) {
      return std::string(std::get<0>(info.param).name) + "_" + family_name(std::get<1>(info.param));
    });

class BothFamilies : public Registration, public testing::WithParamInterface<windows_family> {};

TEST_P(BothFamilies, FortyNineOtherEntriesLosePlace49) {
  const windows_family family = GetParam();
  reg::make_key(HKEY_LOCAL_MACHINE, layouts);
  std::vector<std::string> list = forty_nine_others();
  put_list(family, list);

  register_keyboard_layout_for(family);

  list[48] = folded(new_id(), family);
  EXPECT_EQ(list, get_list(family));
}

TEST_P(BothFamilies, KeyboardLayoutsUnreadable) {
  const windows_family family = GetParam();
  put_list(family, {"00000409"});

  box_recorder recorder;
  register_keyboard_layout_for(family);

  ASSERT_EQ(1u, recorder.boxes().size());
  const seen_box& box = recorder.boxes()[0];
  if (family == windows_family::win9x)
    EXPECT_EQ(L"Software open error1003", box.text);
  else
    EXPECT_EQ(as_ansi_box_shows(L"在WIN2000和WIN NT系统中安装本软件时，需要以系统管理员身份才能安装成功！",
                                "在WIN2000和WIN NT系统中安装本软件时，需要以系统管理员身份才能安装成功！"),
              box.text);
  EXPECT_EQ(as_ansi_box_shows(L"智能映舟", "智能映舟"), box.caption);
  EXPECT_TRUE(box.has_ok);
  EXPECT_FALSE(box.has_yes || box.has_no || box.has_cancel);
  EXPECT_FALSE(reg::exists(HKEY_LOCAL_MACHINE, layouts));
  EXPECT_EQ((std::vector<std::string>{"00000409"}), get_list(family));
}

void expect_create_failure(const box_recorder& recorder, windows_family family) {
  ASSERT_EQ(1u, recorder.boxes().size());
  const seen_box& box = recorder.boxes()[0];
  if (family == windows_family::win9x)
    EXPECT_EQ(L"Software open error1004", box.text);
  else
    EXPECT_EQ(as_ansi_box_shows(L"在WIN2000和WIN NT系统中安装本软件时，需要以系统管理员身份才能安装成功！",
                                "在WIN2000和WIN NT系统中安装本软件时，需要以系统管理员身份才能安装成功！"),
              box.text);
  EXPECT_EQ(as_ansi_box_shows(L"智能映舟(映舟五笔)", "智能映舟(映舟五笔)"), box.caption);
  EXPECT_TRUE(box.has_ok);
  EXPECT_FALSE(box.has_yes || box.has_no || box.has_cancel);
}

// Windows refuses a lasting key below a volatile one, which is a real way for the
// creation of the product's key to fail.
TEST_P(BothFamilies, NewEntryCannotBeCreated) {
  const windows_family family = GetParam();
  reg::make_volatile_key(HKEY_LOCAL_MACHINE, layouts);
  put_list(family, {"00000409"});

  box_recorder recorder;
  register_keyboard_layout_for(family);

  expect_create_failure(recorder, family);
  EXPECT_TRUE(reg::subkeys(HKEY_LOCAL_MACHINE, layouts).empty());
  EXPECT_EQ((std::vector<std::string>{"00000409"}), get_list(family));
}

TEST_P(BothFamilies, RenamedEntryCannotBeCreated) {
  const windows_family family = GetParam();
  reg::make_volatile_key(HKEY_LOCAL_MACHINE, layouts);
  reg::make_volatile_key(HKEY_LOCAL_MACHINE, layouts + "\\E0050409");
  put_product_entry("E0050409");
  put_list(family, {"00000409"});

  box_recorder recorder;
  register_keyboard_layout_for(family);

  expect_create_failure(recorder, family);
  // The old entry was deleted before its new name was refused.
  EXPECT_TRUE(reg::subkeys(HKEY_LOCAL_MACHINE, layouts).empty());
  EXPECT_EQ((std::vector<std::string>{"00000409"}), get_list(family));
}

TEST_P(BothFamilies, PreloadKeyUnreadableAfterTheEntry) {
  const windows_family family = GetParam();
  reg::make_key(HKEY_LOCAL_MACHINE, layouts);
  // NT reads the user's keyboard layout key, 9x its preload subkey.
  if (family == windows_family::win9x) reg::make_key(HKEY_CURRENT_USER, user_layout);

  box_recorder recorder;
  register_keyboard_layout_for(family);

  ASSERT_EQ(1u, recorder.boxes().size());
  EXPECT_EQ(L"Software open error2003", recorder.boxes()[0].text);
  EXPECT_EQ(as_ansi_box_shows(L"智能映舟(映舟五笔)", "智能映舟(映舟五笔)"), recorder.boxes()[0].caption);
  EXPECT_TRUE(recorder.boxes()[0].has_ok);
  EXPECT_FALSE(recorder.boxes()[0].has_yes || recorder.boxes()[0].has_no);
  expect_product_entry(new_id(), family);
  EXPECT_FALSE(reg::exists(HKEY_CURRENT_USER, user_preload));
}

INSTANTIATE_TEST_SUITE_P(Families, BothFamilies, testing::Values(windows_family::nt, windows_family::win9x),
                         [](const testing::TestParamInfo<windows_family>& info) {
                           return std::string(family_name(info.param));
                         });

TEST_F(Registration, NtListWithoutPreloadSubkeyEndsSilently) {
  reg::make_key(HKEY_LOCAL_MACHINE, layouts);
  reg::make_key(HKEY_CURRENT_USER, user_layout);

  box_recorder recorder;
  register_keyboard_layout_for(windows_family::nt);

  EXPECT_TRUE(recorder.boxes().empty());
  expect_product_entry(new_id(), windows_family::nt);
  EXPECT_FALSE(reg::exists(HKEY_CURRENT_USER, user_preload));
}

TEST_F(Registration, NinexPlaceWithoutReadableIdIsPassedOver) {
  reg::make_key(HKEY_LOCAL_MACHINE, layouts);
  reg::make_key(HKEY_CURRENT_USER, user_preload + "\\1");
  reg::put(HKEY_CURRENT_USER, user_preload + "\\2", nullptr, "00000409");

  register_keyboard_layout_for(windows_family::win9x);

  EXPECT_FALSE(reg::get(HKEY_CURRENT_USER, user_preload + "\\1", nullptr));
  EXPECT_EQ((std::vector<std::string>{"<none>", "00000409", new_id()}),
            reg::get_9x_list(HKEY_CURRENT_USER, user_preload));
}

TEST_F(Registration, NinexPlaceThatCannotBeCreatedEndsSilently) {
  reg::make_key(HKEY_LOCAL_MACHINE, layouts);
  reg::make_key(HKEY_CURRENT_USER, user_layout);
  reg::make_volatile_key(HKEY_CURRENT_USER, user_preload);

  box_recorder recorder;
  register_keyboard_layout_for(windows_family::win9x);

  EXPECT_TRUE(recorder.boxes().empty());
  expect_product_entry(new_id(), windows_family::win9x);
  EXPECT_TRUE(reg::subkeys(HKEY_CURRENT_USER, user_preload).empty());
}

TEST_F(Registration, PublicOperationUsesTheNtLayoutOnWine) {
  reg::make_key(HKEY_LOCAL_MACHINE, layouts);
  put_list(windows_family::nt, {"00000409"});

  register_keyboard_layout();

  expect_product_entry(new_id(), windows_family::nt);
  EXPECT_EQ((std::vector<std::string>{"00000409", folded(new_id(), windows_family::nt)}),
            get_list(windows_family::nt));
}

}  // namespace
