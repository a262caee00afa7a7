// The container browser on a real X server over the test domain: the operator
// opens branches (loaded one level at a time) and picks a container, and the
// caller gets its LDAP path with the controller's name; cancelling gives 2;
// a long path is cut to the caller's buffer; the browser never has an owner
// window. Screenshots go to the test's output folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>

#include "dialog_driver.h"
#include "dialog_test_support.h"
#include "support/scratch_ou.h"
#include "txads.h"
#include "x_session.h"

namespace txads::testing {
namespace {

class ContainerBrowser : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    x_ = new XSession();
    try {
      scratch_ = new txads_test::ScratchOu("browse");
      const std::string& dn = scratch_->dn();
      scratch_name_ = dn.substr(3, dn.find(',') - 3);
      inner_ = scratch_->unique_name("Inner");
      scratch_->add_ou(inner_);
      scratch_->add_container("Box");
      ok_ = true;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "scratch unit: %s\n", e.what());
    }
  }
  static void TearDownTestSuite() {
    delete scratch_;
    delete x_;
  }
  void SetUp() override {
    ASSERT_TRUE(x_->ok()) << "Xvfb did not start";
    ASSERT_TRUE(ok_) << "the scratch unit could not be made";
  }
  void TearDown() override { EXPECT_TRUE(helper_children(*x_).empty()); }

  static std::string path_of(const std::string& dn) {
    return "LDAP://" + controller_host() + "/" + dn;
  }

  static XSession* x_;
  static txads_test::ScratchOu* scratch_;
  static std::string scratch_name_;
  static std::string inner_;
  static bool ok_;
};

XSession* ContainerBrowser::x_ = nullptr;
txads_test::ScratchOu* ContainerBrowser::scratch_ = nullptr;
std::string ContainerBrowser::scratch_name_;
std::string ContainerBrowser::inner_;
bool ContainerBrowser::ok_ = false;

TEST_F(ContainerBrowser, ChoosingANestedUnitGivesItsPathWithTheServer) {
  GuardedBuffer path(512);
  RunningExport browser([&] {
    return TXADGetContainer("Move station", "Choose the container for the station:", path.data(),
                            path.length());
  });
  const auto window = wait_for_window("Move station");
  ASSERT_TRUE(window);
  ASSERT_TRUE(focus(*window));
  // Find the scratch unit below the domain, open it, and take the unit inside.
  type_text(scratch_name_);
  press("Escape");  // closes the tree's search field, not the dialog
  press("plus");
  screenshot(output_folder() + "/container-browser.png");
  type_text(inner_);
  press("Return");
  ASSERT_EQ(browser.result(), 0);
  const std::string expected = path_of("OU=" + inner_ + "," + scratch_->dn());
  EXPECT_EQ(path.raw(), expected + std::string(512 - expected.size(), '\0'));
  EXPECT_TRUE(path.guard_intact());
}

TEST_F(ContainerBrowser, HiddenSystemContainersCanBeChosen) {
  char path[512] = {};
  RunningExport browser([&] { return TXADGetContainer("Hidden", "t", path, sizeof path); });
  const auto window = wait_for_window("Hidden");
  ASSERT_TRUE(window);
  ASSERT_TRUE(focus(*window));
  type_text("System");
  press("Return");
  ASSERT_EQ(browser.result(), 0);
  EXPECT_STREQ(path, path_of(txads_test::seeded("CN=System")).c_str());
}

TEST_F(ContainerBrowser, DoubleClickingAnEntryChoosesIt) {
  char path[512] = {};
  RunningExport browser([&] { return TXADGetContainer("Click", "t", path, sizeof path); });
  const auto window = wait_for_window("Click");
  ASSERT_TRUE(window);
  // The middle of the tree: one of the entries directly below the domain.
  ASSERT_TRUE(double_click(*window, 200, 260));
  ASSERT_EQ(browser.result(), 0);
  const std::string text = path;
  const std::string prefix = "LDAP://" + controller_host() + "/";
  const std::string suffix = "," + txads_test::base_dn();
  ASSERT_GT(text.size(), prefix.size() + suffix.size());
  EXPECT_EQ(text.substr(0, prefix.size()), prefix);
  EXPECT_EQ(text.substr(text.size() - suffix.size()), suffix);
}

TEST_F(ContainerBrowser, CancelGivesTwoAndLeavesTheBuffer) {
  GuardedBuffer path(64);
  RunningExport browser(
      [&] { return TXADGetContainer("Cancel me", "t", path.data(), path.length()); });
  const auto window = wait_for_window("Cancel me");
  ASSERT_TRUE(window);
  ASSERT_TRUE(focus(*window));
  press("Escape");
  EXPECT_EQ(browser.result(), 2);
  EXPECT_EQ(path.raw(), std::string(64, '#'));
}

TEST_F(ContainerBrowser, APathLongerThanTheBufferIsCutWithoutTerminator) {
  GuardedBuffer path(24);
  RunningExport browser(
      [&] { return TXADGetContainer("Short buffer", "t", path.data(), path.length()); });
  const auto window = wait_for_window("Short buffer");
  ASSERT_TRUE(window);
  ASSERT_TRUE(focus(*window));
  type_text(scratch_name_);
  press("Return");
  ASSERT_EQ(browser.result(), 0);
  EXPECT_EQ(path.raw(), path_of(scratch_->dn()).substr(0, 24));
  EXPECT_TRUE(path.guard_intact());
}

TEST_F(ContainerBrowser, NullCaptionAndTitleShowTheDialogsOwn) {
  char path[256] = {};
  RunningExport browser([&] { return TXADGetContainer(nullptr, nullptr, path, sizeof path); });
  const auto window = wait_for_window("Browse for Container");
  ASSERT_TRUE(window);
  screenshot(output_folder() + "/container-browser-defaults.png");
  ASSERT_TRUE(focus(*window));
  // The operator's own domain is chosen at the start: Return takes it.
  press("Return");
  ASSERT_EQ(browser.result(), 0);
  EXPECT_STREQ(path, path_of(txads_test::base_dn()).c_str());
}

TEST_F(ContainerBrowser, HasNoOwnerWindowEvenAfterInit) {
  OwnerWindow owner;
  ASSERT_TRUE(owner.ok());
  EXPECT_EQ(TXADInit(reinterpret_cast<HWND>(static_cast<uintptr_t>(owner.id()))), 1);
  char path[64] = {};
  RunningExport browser([&] { return TXADGetContainer("Not owned", "t", path, sizeof path); });
  const auto window = wait_for_window("Not owned");
  ASSERT_TRUE(window);
  EXPECT_EQ(transient_for(*window), "");
  ASSERT_TRUE(focus(*window));
  press("Escape");
  EXPECT_EQ(browser.result(), 2);
  EXPECT_EQ(TXADInit(nullptr), 1);
}

}  // namespace
}  // namespace txads::testing
