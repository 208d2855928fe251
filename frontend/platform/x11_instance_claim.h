#pragma once

namespace tamaruka::x11 {

// The atomic half of the single-instance test. The caption look-up alone is
// look-then-create: two programs started at the same moment both find
// nothing. A selection of the display, claimed with the server grabbed, is
// granted to one client only and held until this process ends.
//
// True when this process now holds the claim (or already did); false when
// another client holds it. An X error, or no display, counts as holding it:
// the caption look-up still guards.
bool claimInstance();

}  // namespace tamaruka::x11
