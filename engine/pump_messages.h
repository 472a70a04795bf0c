// Processing the thread's waiting messages between two steps of a long operation.
#pragma once

// Dispatches every waiting message, each offered to the application's pre-translation first;
// a WM_QUIT is posted again and ends the pump.
void PumpMessages();
