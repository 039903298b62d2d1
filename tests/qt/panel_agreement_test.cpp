// The Qt view shows what the engraver gets over random sequences of a person's changes, restores, presets and refusals.
#include "support/panel_agreement.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "qt_panel_platform.h"

namespace zarvik::testing {
namespace {

TEST(PanelAgreementTest, TheQtViewShowsWhatTheJobCarriesAfterEveryStep) {
  QtPanelPlatform platform;
  AgreementResult result = runAgreement(platform, agreementRunFromEnvironment(200));
  std::printf("agreement on %s: %ld sequences, %ld steps, %d broke the rule\n", platform.name().c_str(),
              result.sequences, result.steps, result.failure ? 1 : 0);
  EXPECT_FALSE(result.failure.has_value()) << result.failure.value_or("");
}

}  // namespace
}  // namespace zarvik::testing
