// Holds one count in the running-instance counter of an application id, as the running product does.
//   count_holder <application id> <ready event> <end event>
#include <windows.h>

#include "app/instance_checks.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) return 2;
    InstanceCounter counter(argv[1]);
    const cv::unique_handle ready(::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]));
    const cv::unique_handle end(::OpenEventW(SYNCHRONIZE, FALSE, argv[3]));
    if (!ready || !end) return 3;
    ::SetEvent(ready.get());
    return ::WaitForSingleObject(end.get(), 120000) == WAIT_OBJECT_0 ? 0 : 4;
}
