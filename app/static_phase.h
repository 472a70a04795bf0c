// The steps of start-up that run before the application object and the window framework.
#pragma once

// Whether the processor reports SSE2; without it the trilingual refusal is shown.
bool CheckProcessor();
// Error mode and the process's text locale; throws when the locale cannot be set up.
void SetUpProcessEnvironment();
// Maker's folders, common controls 6, applicationId, the running-instance counter; throws
// on any failure.
void InitializeApplication();
// "Initialization Error" without owner or caption, then the end of the process with -11.
[[noreturn]] void InitializationError();
