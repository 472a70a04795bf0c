// What the two libraries of the DirectX setup stand-in share: the callback and its progress
// record as the setup library's callers know them, and the second library's one function.
#pragma once

#include <windows.h>

typedef DWORD(FAR PASCAL* DSETUP_CALLBACK)(DWORD Reason, DWORD MsgType, LPSTR szMessage, LPSTR szName,
                                            void* pInfo);

constexpr DWORD DSETUP_CB_MSG_PROGRESS = 18;

struct DSETUP_CB_PROGRESS {
    DWORD dwPhase;
    DWORD dwInPhaseMaximum;
    DWORD dwInPhaseProgress;
    DWORD dwOverallMaximum;
    DWORD dwOverallProgress;
};

// Exported by the second library: installs one cabinet of the runtime from folder.
extern "C" BOOL WINAPI DSetupInstallCabinet(const wchar_t* folder, const wchar_t* cabinet);
