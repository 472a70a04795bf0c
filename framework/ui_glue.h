// The framework's part of the support library's interface hooks: caption, owner, modal state.
#pragma once

// Fills the caption, owner and modal hooks once; runs during static initialisation.
void InstallFrameworkHooks();
