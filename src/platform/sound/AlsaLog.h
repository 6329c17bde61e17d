#pragma once
// ALSA writes each failed step of opening a device to the standard error: eight lines for
// every probe on a machine without a sound card. QuietAlsaLog makes that one line for the
// whole run (the first message), then silence. Harmless where there is no ALSA.

namespace vireo {

void QuietAlsaLog();

}  // namespace vireo
