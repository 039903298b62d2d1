// The property that the person at the dialog sees the job the engraver gets. Random sequences of what can happen at a
// print dialog (a person's changes on every control, typing without finishing, restores, changes the host reports,
// presets, stored values outside the printer's ranges) run against the real libcups host on variants of the sample PPD;
// after every step, what each control shows, the PPD's marks and custom values, the job's options and the print
// settings must agree.
#pragma once

#include <optional>
#include <string>

#include "support/panel_platform.h"

namespace zarvik::testing {

// Runs `sequences` random sequences of 30 steps from seed 1 and prints how many; the shortest failing sequence found,
// with the command that replays it. ZARVIK_AGREEMENT_SEQUENCES and ZARVIK_AGREEMENT_SEED choose others,
// ZARVIK_AGREEMENT_REPLAY ("seed:step,step,...", as a failure prints it) some steps of one.
std::optional<std::string> runAgreement(PanelPlatform& platform, long sequences);

// The sequence under way and how to replay it, for a test program that ends on an exception to print.
const std::string& agreementSequenceUnderway();

}  // namespace zarvik::testing
