// The container browser on a real X server over the test domain: the operator
// opens branches (loaded one level at a time) and picks a container, and the
// caller gets its LDAP path with the controller's name; cancelling gives 2;
// a long path is cut to the caller's buffer; the browser never has an owner
// window. Screenshots go to the test's output folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "dialog_driver.h"
#include "dialog_test_support.h"
#include "scratch_directory.h"
#include "txads.h"
#include "x_session.h"

namespace txads::testing {
namespace {

class ContainerBrowser : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    x_ = new XSession();
    scratch_ = new ScratchOu("txads-browse-");
    if (scratch_->ok()) {
      inner_ = "Inner" + scratch_->tag();
      ok_ = scratch_->add("dn: OU=" + inner_ + "," + scratch_->dn() +
                          "\nobjectClass: organizationalUnit\n\n"
                          "dn: CN=Box," +
                          scratch_->dn() + "\nobjectClass: container\n");
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
  static ScratchOu* scratch_;
  static std::string inner_;
  static bool ok_;
};

XSession* ContainerBrowser::x_ = nullptr;
ScratchOu* ContainerBrowser::scratch_ = nullptr;
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
  type_text(scratch_->name());
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
  EXPECT_STREQ(path, path_of("CN=System," + domain_base()).c_str());
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
  type_text(scratch_->name());
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
  EXPECT_STREQ(path, path_of(domain_base()).c_str());
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
