#pragma once

// Resource and control ids of Tolvane.dll.

#define IDD_OPTIONS 500
#define IDD_SCORING 501
#define IDB_BANNER 507

#define IDI_CARD_FACE_BASE 100  // + card value 1..52
#define IDI_FIRST_CARD_BACK 153
#define IDI_LAST_CARD_BACK 164
#define IDI_DEAL_BUTTON 208
#define IDI_ITEM 209
#define IDI_DRAW_BUTTON 210

#define IDC_CARD_BACK_LIST 1017
#define IDC_UNLINK 1032
#define IDC_FIVE_DISCARDS 1060
#define IDC_SCORING 1061
#define IDC_RESET_WALLET 1063

#define IDC_NONE -1
