// The preload list read, searched and promoted in Wine's real registry, for both registry
// families; promotion happens on Windows 5.x only, which the run's system decides.
#include "integration/preload_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "setup/installer_state.h"
#include "tests/integration/preload_fixture.h"
#include "tests/integration/registry_fixture.h"
#include "tests/integration/test_system.h"

namespace {

class PreloadFamilies : public preload_fixture, public testing::WithParamInterface<windows_family> {};

TEST_P(PreloadFamilies, ReadsIdsAndTheirLayoutTexts) {
  put_layout("00000409", L"US");
  put_layout(product_id, product_text());
  put_list(GetParam(), {"00000409", product_id, "e0020804"});
  // A text left from an earlier read must not stay with an id whose key has none.
  std::snprintf(state.preload_texts[3], sizeof state.preload_texts[3], "%s", "stale text");

  EXPECT_EQ(3, read_preload_list_for(GetParam()));

  EXPECT_EQ(3, state.preload_count);
  EXPECT_STREQ("00000409", state.preload_ids[1]);
  EXPECT_STREQ(product_id, state.preload_ids[2]);
  EXPECT_STREQ("e0020804", state.preload_ids[3]);
  EXPECT_STREQ("US", state.preload_texts[1]);
  EXPECT_EQ(product_text(), as_wide(state.preload_texts[2]));
  EXPECT_STREQ("", state.preload_texts[3]);
}

TEST_P(PreloadFamilies, AllFortyNinePlaces) {
  std::vector<std::string> ids;
  for (int place = 1; place <= 49; ++place) {
    char id[16];
    std::snprintf(id, sizeof id, "0000%04d", place);
    ids.push_back(id);
  }
  put_list(GetParam(), ids);
  reg::make_key(HKEY_LOCAL_MACHINE, layouts);

  EXPECT_EQ(49, read_preload_list_for(GetParam()));
  EXPECT_STREQ("00000049", state.preload_ids[49]);
}

TEST_P(PreloadFamilies, NothingWhenKeyboardLayoutsCannotBeOpened) {
  put_list(GetParam(), {"00000409"});
  EXPECT_EQ(0, read_preload_list_for(GetParam()));
  EXPECT_FALSE(find_installed_layout_for(GetParam()));
}

TEST_P(PreloadFamilies, NothingWhenTheUsersListCannotBeOpened) {
  reg::make_key(HKEY_LOCAL_MACHINE, layouts);
  EXPECT_EQ(0, read_preload_list_for(GetParam()));
}

TEST_P(PreloadFamilies, FindsTheProductByItsLayoutText) {
  put_layout("00000409", L"US");
  put_layout(product_id, product_text());
  put_list(GetParam(), {"00000409", product_id});
  state.product_found = 4;
  state.product_position = 7;

  // The 12 GBK bytes of 智能映舟输入 are looked for on every code page, so the Big5 text
  // that a code-page-950 system stores does not match.
  const bool expected = !big5();
  EXPECT_EQ(expected, find_installed_layout_for(GetParam()));
  EXPECT_EQ(expected ? 4 : 0, state.product_found);
  EXPECT_EQ(expected ? 2 : 0, state.product_position);
  EXPECT_EQ(2, state.preload_count);
}

TEST_P(PreloadFamilies, AbsentProduct) {
  put_layout("00000409", L"US");
  put_layout("e0020804", L"其他输入法");
  put_list(GetParam(), {"00000409", "e0020804"});

  EXPECT_FALSE(find_installed_layout_for(GetParam()));
  EXPECT_EQ(0, state.product_found);
  EXPECT_EQ(0, state.product_position);
}

// The product's text given in the GBK bytes that the search looks for, on every code page.
TEST_P(PreloadFamilies, PromotesToPlace2OnWindows5) {
  const std::vector<std::string> list = {"00000409", "00000804", "e0020804", "e0030804", product_id, "00000404"};
  for (const std::string& id : list) put_layout(id, id == product_id ? gbk_product_text() : L"其他");
  put_list(GetParam(), list);
  const bool nt = GetParam() == windows_family::nt;
  if (nt) reg::put_nt_list(HKEY_USERS, default_profile, {"d1", "d2"});

  ASSERT_TRUE(find_installed_layout_for(GetParam()));
  ASSERT_EQ(5, state.product_position);
  promote_installed_layout_for(GetParam());

  if (expected_system().version == "5.2") {
    EXPECT_EQ((std::vector<std::string>{"00000409", product_id, "00000804", "e0020804", "e0030804", "00000404"}),
              get_list(GetParam()));
    if (nt) {
      EXPECT_EQ((std::vector<std::string>{"d1", product_id, "00000804", "e0020804", "e0030804", "00000404"}),
                reg::get_nt_list(HKEY_USERS, default_profile));
    }
  } else {
    EXPECT_EQ(list, get_list(GetParam()));
    if (nt) {
      EXPECT_EQ((std::vector<std::string>{"d1", "d2"}), reg::get_nt_list(HKEY_USERS, default_profile));
    }
  }
}

TEST_P(PreloadFamilies, ProductAtPlace2StaysWhereItIs) {
  const std::vector<std::string> list = {"00000409", product_id, "e0020804", "00000404"};
  for (const std::string& id : list) put_layout(id, id == product_id ? gbk_product_text() : L"其他");
  put_list(GetParam(), list);

  ASSERT_TRUE(find_installed_layout_for(GetParam()));
  promote_installed_layout_for(GetParam());

  EXPECT_EQ(list, get_list(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Families, PreloadFamilies, testing::Values(windows_family::nt, windows_family::win9x),
                         [](const testing::TestParamInfo<windows_family>& info) {
                           return std::string(info.param == windows_family::nt ? "nt" : "9x");
                         });

struct long_value_case {
  const char* value;
  int count;
};

class NtValueLength : public preload_fixture, public testing::WithParamInterface<long_value_case> {};

TEST_P(NtValueLength, EndsTheListWhenLongerThan9Characters) {
  reg::make_key(HKEY_LOCAL_MACHINE, layouts);
  reg::put_nt_list(HKEY_CURRENT_USER, user_preload, {"00000409", GetParam().value, "00000804"});

  EXPECT_EQ(GetParam().count, read_preload_list_for(windows_family::nt));
  if (GetParam().count == 3) {
    EXPECT_STREQ(GetParam().value, state.preload_ids[2]);
  }
}

INSTANTIATE_TEST_SUITE_P(Lengths, NtValueLength,
                         testing::Values(long_value_case{"e00108040", 3}, long_value_case{"e001080400", 1},
                                         long_value_case{"e0010804000000000000", 1}));

TEST_F(preload_fixture, NtListWithoutPreloadSubkeyIsEmpty) {
  reg::make_key(HKEY_LOCAL_MACHINE, layouts);
  reg::make_key(HKEY_CURRENT_USER, user_layout);
  EXPECT_EQ(0, read_preload_list_for(windows_family::nt));
}

TEST_F(preload_fixture, NinexPlaceWithUnreadableIdKeepsCountingWithAnEmptySlot) {
  reg::make_key(HKEY_LOCAL_MACHINE, layouts);
  reg::put_9x_list(HKEY_CURRENT_USER, user_preload, {"00000409"});
  reg::make_key(HKEY_CURRENT_USER, user_preload + "\\2");
  reg::put(HKEY_CURRENT_USER, user_preload + "\\3", nullptr, "00000804");
  std::snprintf(state.preload_ids[2], sizeof state.preload_ids[2], "%s", "e0990804");

  EXPECT_EQ(3, read_preload_list_for(windows_family::win9x));
  EXPECT_STREQ("", state.preload_ids[2]);
  EXPECT_STREQ("00000804", state.preload_ids[3]);
}

TEST_F(preload_fixture, DefaultProfileWithoutKeyboardLayoutKeyKeepsTheUsersPromotion) {
  if (expected_system().version != "5.2") GTEST_SKIP() << "promotion happens on Windows 5.x only";
  const std::vector<std::string> list = {"00000409", "00000804", product_id};
  for (const std::string& id : list) put_layout(id, id == product_id ? gbk_product_text() : L"其他");
  reg::put_nt_list(HKEY_CURRENT_USER, user_preload, list);

  ASSERT_TRUE(find_installed_layout_for(windows_family::nt));
  promote_installed_layout_for(windows_family::nt);

  EXPECT_EQ((std::vector<std::string>{"00000409", product_id, "00000804"}),
            reg::get_nt_list(HKEY_CURRENT_USER, user_preload));
  EXPECT_FALSE(reg::exists(HKEY_USERS, default_profile));
}

TEST_F(preload_fixture, PublicOperationsReadTheNtLayoutOnWine) {
  const std::vector<std::string> list = {"00000409", "00000804", product_id};
  for (const std::string& id : list) put_layout(id, id == product_id ? gbk_product_text() : L"其他");
  reg::put_nt_list(HKEY_CURRENT_USER, user_preload, list);
  reg::put_nt_list(HKEY_USERS, default_profile, {"d1"});

  EXPECT_EQ(3, read_preload_list());
  ASSERT_TRUE(find_installed_layout());
  EXPECT_EQ(3, state.product_position);
  promote_installed_layout();

  const bool promoted = expected_system().version == "5.2";
  const std::vector<std::string> promoted_list = {"00000409", product_id, "00000804"};
  EXPECT_EQ(promoted ? promoted_list : list, reg::get_nt_list(HKEY_CURRENT_USER, user_preload));
}

}  // namespace
