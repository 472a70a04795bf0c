// Where the uninstall log of an earlier installation lies.
#pragma once

#include <string>

// The earlier "Uninstall.ulog": through UninstallString, beside this program, beside the
// installed product, in that order; empty when none exists. Registry failures other than a
// missing key throw std::system_error.
std::wstring FindEarlierLog();
