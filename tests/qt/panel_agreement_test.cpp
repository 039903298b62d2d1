// The Qt view shows what the engraver gets over random sequences of a person's changes, restores, presets and refusals.
#include "support/panel_agreement.h"

#include <gtest/gtest.h>

#include "qt_panel_platform.h"

namespace zarvik::testing {
namespace {

TEST(PanelAgreementTest, TheQtViewShowsWhatTheJobCarriesAfterEveryStep) {
  QtPanelPlatform platform;
  std::optional<std::string> failure = runAgreement(platform, 200);
  EXPECT_FALSE(failure.has_value()) << failure.value_or("");
}

}  // namespace
}  // namespace zarvik::testing
