// The group picker on a real X server over the test domain's global catalog:
// security groups of global, domain-local and universal scope are offered and
// come back as their LDAP path; distribution groups are not offered; cancel
// is -1 with the buffers untouched; a path longer than the list buffer is -2;
// the picker stays above the window given to TXADInit, and an owner id that
// names no window is an error. Screenshots go to the test's output folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <exception>

#include "dialog_driver.h"
#include "dialog_test_support.h"
#include "frame/error_text.h"
#include "frame/status.h"
#include "support/scratch_ou.h"
#include "txads.h"
#include "x_session.h"

namespace txads::testing {
namespace {

constexpr const char* kPickerTitle = "Select Group";

class GroupPicker : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    x_ = new XSession();
    try {
      scratch_ = new txads_test::ScratchOu("pick");
      global_ = scratch_->unique_name("global");
      local_ = scratch_->unique_name("local");
      universal_ = scratch_->unique_name("univ");
      distribution_ = scratch_->unique_name("dist");
      suffix_ = global_.substr(global_.find('-'));
      // The support library makes global security groups; the other kinds
      // are added with their group type.
      auto group = [&](const std::string& name, const char* type) {
        return "dn: CN=" + name + "," + scratch_->dn() +
               "\nchangetype: add\nobjectClass: group\nsAMAccountName: " + name +
               "\ngroupType: " + type + "\ndescription: made by the picker test\n\n";
      };
      txads_test::modify(group(global_, "-2147483646") + group(local_, "-2147483644") +
                         group(universal_, "-2147483640") + group(distribution_, "2"));
      ok_ = true;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "scratch groups: %s\n", e.what());
    }
  }
  static void TearDownTestSuite() {
    delete scratch_;
    delete x_;
  }
  void SetUp() override {
    ASSERT_TRUE(x_->ok()) << "Xvfb did not start";
    ASSERT_TRUE(ok_) << "the scratch groups could not be made";
    EXPECT_EQ(TXADInit(nullptr), 1);
  }
  void TearDown() override {
    EXPECT_TRUE(helper_children(*x_).empty());
    EXPECT_EQ(TXADInit(nullptr), 1);
  }

  static std::string path_of(const std::string& name) {
    return "LDAP://" + controller_host() + "/CN=" + name + "," + scratch_->dn();
  }

  static XSession* x_;
  static txads_test::ScratchOu* scratch_;
  static std::string global_, local_, universal_, distribution_, suffix_;
  static bool ok_;
};

XSession* GroupPicker::x_ = nullptr;
txads_test::ScratchOu* GroupPicker::scratch_ = nullptr;
std::string GroupPicker::global_, GroupPicker::local_, GroupPicker::universal_,
    GroupPicker::distribution_, GroupPicker::suffix_;
bool GroupPicker::ok_ = false;

TEST_F(GroupPicker, EachOfferedKindOfGroupComesBackAsItsPath) {
  for (const std::string* name : {&global_, &local_, &universal_}) {
    SCOPED_TRACE(*name);
    GuardedBuffer list(512);
    GuardedBuffer error(128);
    RunningExport picker(
        [&] { return TXADGetGroups(list.data(), list.length(), error.data(), error.length()); });
    const auto window = wait_for_window(kPickerTitle);
    ASSERT_TRUE(window);
    ASSERT_TRUE(focus(*window));
    type_text(*name);
    ASSERT_TRUE(picker.press_until_returned("Return"));
    ASSERT_EQ(picker.result(), 0);
    const std::string expected = path_of(*name);
    EXPECT_EQ(list.raw(), expected + std::string(512 - expected.size(), '\0'));
    EXPECT_EQ(error.raw(), std::string(128, '#'));
  }
}

TEST_F(GroupPicker, DoubleClickingAGroupChoosesIt) {
  char list[512] = {};
  char error[128] = {};
  RunningExport picker([&] { return TXADGetGroups(list, sizeof list, error, sizeof error); });
  const auto window = wait_for_window(kPickerTitle);
  ASSERT_TRUE(window);
  ASSERT_TRUE(focus(*window));
  type_text(suffix_);  // the three offered scratch groups, the global one first
  ASSERT_FALSE(picker.returned_within(std::chrono::seconds(2)));  // the list fills in
  ASSERT_TRUE(double_click(*window, 120, 118));
  ASSERT_EQ(picker.result(), 0);
  EXPECT_STREQ(list, path_of(global_).c_str());
}

TEST_F(GroupPicker, DistributionGroupsAreNotOffered) {
  GuardedBuffer list(512);
  GuardedBuffer error(128);
  RunningExport picker(
      [&] { return TXADGetGroups(list.data(), list.length(), error.data(), error.length()); });
  const auto window = wait_for_window(kPickerTitle);
  ASSERT_TRUE(window);
  ASSERT_TRUE(focus(*window));
  type_text(distribution_);
  // Return takes nothing while nothing matches; the dialog stays open.
  EXPECT_FALSE(picker.press_until_returned("Return", 6));
  screenshot(output_folder() + "/group-picker-no-match.png");
  press("Escape");
  EXPECT_EQ(picker.result(), -1);
  EXPECT_EQ(list.raw(), std::string(512, '#'));
  EXPECT_EQ(error.raw(), std::string(128, '#'));
}

TEST_F(GroupPicker, CancelIsMinusOneWithTheBuffersUntouched) {
  GuardedBuffer list(64);
  GuardedBuffer error(64);
  RunningExport picker(
      [&] { return TXADGetGroups(list.data(), list.length(), error.data(), error.length()); });
  const auto window = wait_for_window(kPickerTitle);
  ASSERT_TRUE(window);
  ASSERT_TRUE(focus(*window));
  type_text(suffix_);
  press("Escape");
  EXPECT_EQ(picker.result(), -1);
  EXPECT_EQ(list.raw(), std::string(64, '#'));
  EXPECT_EQ(error.raw(), std::string(64, '#'));
}

TEST_F(GroupPicker, AChoiceLongerThanTheListBufferIsMinusTwo) {
  const std::string expected = path_of(global_);
  const int n = static_cast<int>(expected.size());
  struct Case {
    int length;
    int result;
  };
  for (const Case c : {Case{n - 1, -2}, Case{n, 0}, Case{-1, -2}}) {
    SCOPED_TRACE(c.length);
    GuardedBuffer list(c.length);
    GuardedBuffer error(64);
    RunningExport picker(
        [&] { return TXADGetGroups(list.data(), c.length, error.data(), error.length()); });
    const auto window = wait_for_window(kPickerTitle);
    ASSERT_TRUE(window);
    ASSERT_TRUE(focus(*window));
    type_text(global_);
    ASSERT_TRUE(picker.press_until_returned("Return"));
    EXPECT_EQ(picker.result(), c.result);
    if (c.result == 0) {
      EXPECT_EQ(list.raw(), expected);  // exactly filled: no terminator
    } else {
      EXPECT_EQ(list.raw(), std::string(static_cast<size_t>(std::max(c.length, 0)), '#'));
    }
    EXPECT_EQ(error.raw(), std::string(64, '#'));
    EXPECT_TRUE(list.guard_intact());
  }
}

TEST_F(GroupPicker, StaysAboveTheWindowGivenToInit) {
  OwnerWindow owner;
  ASSERT_TRUE(owner.ok());
  EXPECT_EQ(TXADInit(reinterpret_cast<HWND>(static_cast<uintptr_t>(owner.id()))), 1);
  char list[512] = {};
  char error[128] = {};
  RunningExport picker([&] { return TXADGetGroups(list, sizeof list, error, sizeof error); });
  const auto window = wait_for_window(kPickerTitle);
  ASSERT_TRUE(window);
  char owner_hex[32];
  std::snprintf(owner_hex, sizeof owner_hex, "0x%lx", owner.id());
  EXPECT_EQ(transient_for(*window), owner_hex);
  ASSERT_TRUE(focus(*window));
  type_text(suffix_);
  picker.returned_within(std::chrono::seconds(2));  // let the list fill in
  screenshot(output_folder() + "/group-picker.png");
  press("Escape");
  EXPECT_EQ(picker.result(), -1);
}

TEST_F(GroupPicker, WithoutInitHasNoOwnerWindow) {
  char list[512] = {};
  char error[128] = {};
  RunningExport picker([&] { return TXADGetGroups(list, sizeof list, error, sizeof error); });
  const auto window = wait_for_window(kPickerTitle);
  ASSERT_TRUE(window);
  EXPECT_EQ(transient_for(*window), "");
  ASSERT_TRUE(focus(*window));
  press("Escape");
  EXPECT_EQ(picker.result(), -1);
}

TEST_F(GroupPicker, AnOwnerIdThatNamesNoWindowIsAnError) {
  char expected[128] = {};
  GetADSErrorText(kInvalidOwnerWindow, {expected, static_cast<int>(sizeof expected)});
  for (const uintptr_t bogus : {uintptr_t{0x1ffffff0}, uintptr_t{0x123456789ab}}) {
    SCOPED_TRACE(bogus);
    EXPECT_EQ(TXADInit(reinterpret_cast<HWND>(bogus)), 1);
    GuardedBuffer list(64);
    GuardedBuffer error(128);
    RunningExport picker(
        [&] { return TXADGetGroups(list.data(), list.length(), error.data(), error.length()); });
    ASSERT_TRUE(picker.returned_within(std::chrono::seconds(15)));
    EXPECT_EQ(picker.result(), -1);
    EXPECT_EQ(list.raw(), std::string(64, '#'));
    EXPECT_STREQ(error.text().c_str(), expected);
    EXPECT_NE(expected[0], '\0');
  }
}

}  // namespace
}  // namespace txads::testing
