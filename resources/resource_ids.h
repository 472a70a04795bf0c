// Ids of the executable's resources that code refers to.
#pragma once

#define IDI_APPLICATION_ICON 128
#define RT_PAYLOAD 260
#define IDR_PAYLOAD 134
