// The functions of the DirectX setup library that the setup program calls, as declared by
// the library's published interface.
#pragma once

#include <windows.h>

typedef DWORD(FAR PASCAL* DSETUP_CALLBACK)(DWORD Reason, DWORD MsgType, LPSTR szMessage, LPSTR szName,
                                            void* pInfo);

constexpr DWORD DSETUP_CB_MSG_PROGRESS = 18;

// Exported by the second library: installs one cabinet of the runtime from folder.
extern "C" BOOL WINAPI DSetupInstallCabinet(const wchar_t* folder, const wchar_t* cabinet);
