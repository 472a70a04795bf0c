// Ids of the framework tests' dialog templates.
#pragma once

#define IDD_EXCHANGE 500
#define IDD_HOST 501

#define IDC_TEXT 510
#define IDC_FIRST 511
#define IDC_SECOND 512
#define IDC_THIRD 513
#define IDC_FLAG 514
#define IDC_PROBE 515
#define IDC_ANSWER 516
