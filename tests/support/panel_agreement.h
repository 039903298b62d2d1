// The property that the person at the dialog sees the job the engraver gets. Random sequences of what can happen at a
// print dialog (a person's changes on every control, typing without finishing, restores, changes the host reports,
// presets, stored values outside the printer's ranges) run against the real libcups host on variants of the sample PPD;
// after every step, what each control shows, the panel's fields, the PPD's marks and custom values, the job's options
// and the print settings must agree.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/panel_platform.h"

namespace zarvik::testing {

struct AgreementRun {
  long sequences = 200;
  int steps = 30;
  std::uint32_t firstSeed = 1;
  // Replays only these steps of the first seed's sequence.
  std::optional<std::vector<int>> replay;
};

// Read from ZARVIK_AGREEMENT_SEQUENCES, ZARVIK_AGREEMENT_SEED and ZARVIK_AGREEMENT_REPLAY ("seed:step,step,..."), as a
// failure prints it.
AgreementRun agreementRunFromEnvironment(long defaultSequences);

// Runs the sequences and prints how many; the shortest failing sequence found, with the command that replays it.
std::optional<std::string> runAgreement(PanelPlatform& platform, const AgreementRun& run);

// The sequence under way and how to replay it, for a test program that ends on an exception to print.
const std::string& agreementSequenceUnderway();

}  // namespace zarvik::testing
