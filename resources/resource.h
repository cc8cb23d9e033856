// Control identifiers of both dialogs, shared by the resource script and the code.
#pragma once

// The program file's icon, its first and only one, which Explorer and shortcuts show; both dialogs
// set it as their window icon.
#define IDI_TIPPWERK 1

// Controls that the program never addresses (labels, group boxes).
#define IDC_STATIC 100

// The dialog manager's OK command; the Ende button of both dialogs sends it.
#define IDC_END 1

// Main dialog LOTTODIALOG
#define IDC_START 101
#define IDC_STOP 102
#define IDC_TIP_FIRST 103           // tip fields 103..108
#define IDC_HIT_FIRST 109           // hit row 109..114, one under each tip field
#define IDC_HIT_CLASS_FIRST 115     // draws with 1..6 hits: 115..120
#define IDC_GAMES_PLAYED 121
#define IDC_GAMES_WITHOUT_PRIZE 122
#define IDC_RESET 123
#define IDC_INFO 124
#define IDC_LOSSES 125

// Loss dialog VERLUSTDIALOG
#define IDC_EVALUATE 101
#define IDC_PRICE_DM_FIRST 102      // stake, prizes for 3..6 hits: 102..106
#define IDC_PRICE_PF_FIRST 107      // the same rows in Pfennig: 107..111
#define IDC_RESULT_DM_FIRST 112     // costs, winnings, total: 112..114
#define IDC_RESULT_PF_FIRST 115     // the same rows in Pfennig: 115..117
#define IDC_AUTO 118
