// The default-IME checks against the real registry and boxes, on 32-bit and 64-bit
// systems, and the switch to the product's layout on the done page.
#include "integration/default_ime.h"

#include <imm.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "integration/product_layout.h"
#include "setup/installer_state.h"
#include "tests/harness/message_boxes.h"
#include "tests/integration/preload_fixture.h"
#include "tests/integration/registry_fixture.h"
#include "tests/integration/test_system.h"

namespace {

const std::wstring caption = L"智能映舟安装";
const std::wstring only_input_method =
    L"　　你以前安装的智能映舟为系统默认输入法，并且是系统安装的唯一输入法，请通过微软的输入法管理器增加英文输入法，"
    L"并将智能映舟输入法设置为系统非默认输入法后，重新启动机器才能安装新版本的智能映舟！";
const std::wstring default_input_method =
    L"　　你以前安装的智能映舟为系统默认输入法，请设置为系统非默认输入法后，重新启动机器才能安装新版本的智能映舟！";
const std::wstring question = L"是否设置智能映舟为系统非默认输入法？";
const std::wstring restart = L"请重新启动机器后安装智能映舟！";
const std::wstring wubi_default =
    L"　　你以前安装的映舟五笔为系统默认输入法，请通过微软的输入法管理器将映舟五笔输入法设置为系统非默认输入法后，"
    L"重新启动机器才能安装新版本的映舟五笔！";

void expect_box(const seen_box& box, const std::wstring& text, bool yes_no) {
  EXPECT_EQ(text, box.text);
  EXPECT_EQ(caption, box.caption);
  EXPECT_EQ(!yes_no, box.has_ok);
  EXPECT_EQ(yes_no, box.has_yes);
  EXPECT_EQ(yes_no, box.has_no);
  EXPECT_FALSE(box.has_cancel);
}

// 64-bit Windows is Windows 6 or later with a WOW64 folder; on 5.x the setup asks.
bool asks() { return !(expected_system().sixty_four_bit && expected_system().version != "5.2"); }

class DefaultIme : public preload_fixture {
 protected:
  void SetUp() override {
    preload_fixture::SetUp();
    put_layout("00000409", L"US");
    put_layout("e0020804", L"其他");
    put_layout(product_id, gbk_product_text());
  }
};

TEST_F(DefaultIme, ProductIsTheOnlyEntry) {
  reg::put_nt_list(HKEY_CURRENT_USER, user_preload, {product_id});
  box_recorder recorder;

  EXPECT_EQ(0, check_default_ime());

  ASSERT_EQ(1u, recorder.boxes().size());
  expect_box(recorder.boxes()[0], only_input_method, false);
  EXPECT_EQ((std::vector<std::string>{product_id}), reg::get_nt_list(HKEY_CURRENT_USER, user_preload));
}

TEST_F(DefaultIme, ProductIsDefaultAndTheUserAgrees) {
  reg::put_nt_list(HKEY_CURRENT_USER, user_preload, {product_id, "00000409", "e0020804"});
  reg::put_nt_list(HKEY_USERS, default_profile, {"d1", "d2", "d3"});
  box_recorder recorder({IDOK, IDYES, IDOK});

  EXPECT_EQ(0, check_default_ime());

  if (asks()) {
    ASSERT_EQ(3u, recorder.boxes().size());
    expect_box(recorder.boxes()[0], default_input_method, false);
    expect_box(recorder.boxes()[1], question, true);
    expect_box(recorder.boxes()[2], restart, false);
    EXPECT_EQ((std::vector<std::string>{"00000409", product_id, "e0020804"}),
              reg::get_nt_list(HKEY_CURRENT_USER, user_preload));
    // The default profile gets the current user's first two places.
    EXPECT_EQ((std::vector<std::string>{"00000409", product_id, "d3"}), reg::get_nt_list(HKEY_USERS, default_profile));
  } else {
    ASSERT_EQ(1u, recorder.boxes().size());
    expect_box(recorder.boxes()[0], default_input_method, false);
    EXPECT_EQ((std::vector<std::string>{product_id, "00000409", "e0020804"}),
              reg::get_nt_list(HKEY_CURRENT_USER, user_preload));
    EXPECT_EQ((std::vector<std::string>{"d1", "d2", "d3"}), reg::get_nt_list(HKEY_USERS, default_profile));
  }
}

TEST_F(DefaultIme, ProductIsDefaultAndTheUserDeclines) {
  reg::put_nt_list(HKEY_CURRENT_USER, user_preload, {product_id, "00000409"});
  reg::put_nt_list(HKEY_USERS, default_profile, {"d1", "d2"});
  box_recorder recorder({IDOK, IDNO});

  EXPECT_EQ(0, check_default_ime());

  ASSERT_EQ(asks() ? 2u : 1u, recorder.boxes().size());
  expect_box(recorder.boxes()[0], default_input_method, false);
  if (asks()) {
    expect_box(recorder.boxes()[1], question, true);
  }
  EXPECT_EQ((std::vector<std::string>{product_id, "00000409"}), reg::get_nt_list(HKEY_CURRENT_USER, user_preload));
  EXPECT_EQ((std::vector<std::string>{"d1", "d2"}), reg::get_nt_list(HKEY_USERS, default_profile));
}

TEST_F(DefaultIme, ProductElsewhereInTheListLetsTheInstallationGoOn) {
  reg::put_nt_list(HKEY_CURRENT_USER, user_preload, {"00000409", product_id});
  box_recorder recorder;

  // Wine's own layout, the active one here, is not the product's.
  EXPECT_EQ(1, check_default_ime());

  EXPECT_TRUE(recorder.boxes().empty());
  EXPECT_EQ(4, state.product_found);
  EXPECT_EQ(2, state.product_position);
}

TEST_F(DefaultIme, NoListAtAll) {
  box_recorder recorder;
  EXPECT_EQ(1, check_default_ime());
  EXPECT_TRUE(recorder.boxes().empty());
}

// Wine describes every layout as its own IME, so the product's layout being the active
// one is given to the check rather than made.
TEST_F(DefaultIme, ActiveProductLayoutRefusesWithTheWubiMessage) {
  reg::put_nt_list(HKEY_CURRENT_USER, user_preload, {"00000409"});
  box_recorder recorder;

  EXPECT_EQ(0, check_default_ime_for(windows_family::nt, false, true));

  ASSERT_EQ(1u, recorder.boxes().size());
  expect_box(recorder.boxes()[0], wubi_default, false);
}

TEST_F(DefaultIme, DefaultProductIsReportedBeforeTheActiveLayout) {
  reg::put_nt_list(HKEY_CURRENT_USER, user_preload, {product_id});
  box_recorder recorder;

  EXPECT_EQ(0, check_default_ime_for(windows_family::nt, true, true));

  ASSERT_EQ(1u, recorder.boxes().size());
  expect_box(recorder.boxes()[0], only_input_method, false);
}

TEST_F(DefaultIme, NinexListSwappedWhenTheUserAgrees) {
  reg::put_9x_list(HKEY_CURRENT_USER, user_preload, {"E0010804", "00000409", "E0020804"});
  box_recorder recorder({IDOK, IDYES, IDOK});

  EXPECT_EQ(0, check_default_ime_for(windows_family::win9x, false, false));

  ASSERT_EQ(3u, recorder.boxes().size());
  expect_box(recorder.boxes()[1], question, true);
  EXPECT_EQ((std::vector<std::string>{"00000409", "E0010804", "E0020804"}),
            reg::get_9x_list(HKEY_CURRENT_USER, user_preload));
  EXPECT_FALSE(reg::exists(HKEY_USERS, default_profile));
}

TEST_F(DefaultIme, SixtyFourBitSystemIsNotAsked) {
  reg::put_nt_list(HKEY_CURRENT_USER, user_preload, {product_id, "00000409"});
  box_recorder recorder({IDOK, IDYES, IDOK});

  EXPECT_EQ(0, check_default_ime_for(windows_family::nt, true, false));

  ASSERT_EQ(1u, recorder.boxes().size());
  expect_box(recorder.boxes()[0], default_input_method, false);
  EXPECT_EQ((std::vector<std::string>{product_id, "00000409"}), reg::get_nt_list(HKEY_CURRENT_USER, user_preload));
}

struct description_case {
  const char* name;
  std::string bytes;
  bool product;
};

class Descriptions : public testing::TestWithParam<description_case> {};

TEST_P(Descriptions, NameTheProductByItsFirst16GbkBytes) {
  char buffer[64] = {};
  std::memcpy(buffer, GetParam().bytes.data(), GetParam().bytes.size());
  EXPECT_EQ(GetParam().product, names_product_layout(buffer));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Descriptions,
    testing::Values(description_case{"LayoutText", "智能映舟输入平台  7.9", true},
                    description_case{"NameAlone", "智能映舟输入平台", true},
                    description_case{"NameCutShort", "智能映舟输入平", false},
                    // 智能映舟輸入平台 in Big5 (iconv -t BIG5)
                    description_case{"Big5Name", "\xB4\xBC\xAF\xE0\xAC\x4D\xA6\xE0\xBF\xE9\xA4\x4A\xA5\xAD\xA5\x78", false},
                    description_case{"WineIme", "Wine XIM", false},
                    description_case{"LayoutName", "E0010804", false}),
    [](const testing::TestParamInfo<description_case>& info) { return std::string(info.param.name); });

// Layout handles that stand for loaded layouts; the describer is the IMM's stand-in here.
const HKL english = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0x04090409));
const HKL undescribed = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0xE0030804));
const HKL product_first = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0xE0010804));
const HKL product_second = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0xE0020804));

UINT WINAPI describe(HKL layout, LPSTR buffer, UINT size) {
  const char* text = layout == english ? "US" : "智能映舟输入平台  7.9";
  std::strncpy(buffer, text, size);
  // A layout without a description: the buffer holds the product's name, the call fails.
  return layout == undescribed ? 0 : static_cast<UINT>(std::strlen(buffer));
}

TEST(LoadedLayouts, FirstDescribedProductLayoutIsFound) {
  const HKL loaded[] = {english, undescribed, product_first, product_second};
  EXPECT_EQ(product_first, find_product_layout(loaded, 4, describe));
  EXPECT_EQ(nullptr, find_product_layout(loaded, 2, describe));
  EXPECT_EQ(nullptr, find_product_layout(loaded, 0, describe));
}

TEST(LoadedLayouts, WinesLayoutsAreNotTheProducts) {
  HKL loaded[50];
  const int count = GetKeyboardLayoutList(50, loaded);
  ASSERT_GT(count, 0);
  EXPECT_EQ(nullptr, find_product_layout(loaded, count, ImmGetDescriptionA));
}

TEST(ActiveLayout, DescriptionOrNameAlwaysTerminated) {
  char buffer[51];
  std::memset(buffer, 'x', sizeof buffer);
  read_active_layout_description(buffer, sizeof buffer);
  EXPECT_LT(std::strlen(buffer), sizeof buffer);
  EXPECT_GT(std::strlen(buffer), 0u);
  EXPECT_FALSE(names_product_layout(buffer));
}

class Activation : public testing::Test {
 protected:
  void SetUp() override { reset_installer_state(); }
};

TEST_F(Activation, NothingBeforeTheDonePages) {
  state.page = 6;
  state.installed_hkl = GetKeyboardLayout(0);
  EXPECT_FALSE(activate_installed_layout());
}

TEST_F(Activation, ProductLayoutNotLoadedIsSearchedAgainNextTime) {
  state.page = 8;
  EXPECT_FALSE(activate_installed_layout());
  EXPECT_EQ(nullptr, state.installed_hkl);
  EXPECT_FALSE(activate_installed_layout());
  EXPECT_EQ(nullptr, state.installed_hkl);
}

TEST_F(Activation, KnownLayoutIsActivatedOnTheDonePages) {
  HKL loaded[50];
  ASSERT_GT(GetKeyboardLayoutList(50, loaded), 0);
  for (int page : {7, 8, 9}) {
    state.page = page;
    state.installed_hkl = loaded[0];
    EXPECT_TRUE(activate_installed_layout()) << page;
    EXPECT_EQ(loaded[0], state.installed_hkl);
  }
}

}  // namespace
