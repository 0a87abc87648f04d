// The application's resource ids. Framework ids (ID_APP_EXIT...) come from
// platform/mfc/res/FrameworkIds.h.
#pragma once

#define IDR_MAINFRAME 128
#define IDR_TRAY_MENU 157

// Commands
#define IDC_SEND 1023
#define ID_OPTIONS 32771
#define ID_ADD_ACCOUNT 32773
#define ID_VIEW_COMPOSE 32798
#define ID_VIEW_OTHER_INFO 32799
#define ID_SHOW_MAIN_WINDOW 32865
#define ID_REFRESH_ALL_MESSAGES 32867
#define ID_REFRESH_ALL_PHOTOS 32868
#define ID_REFRESH_ALL_CONTACTS 32869
#define ID_REFRESH_ALL_ONLINE_INFO 32870
#define ID_REFRESH_ALL_ACCOUNTS 32871
#define ID_COPY 32872
#define ID_UNDO 32873
#define ID_CUT 32874
#define ID_PASTE 32876
#define ID_SELECT_ALL 32878
#define ID_PREVIEW 32879
#define ID_BROWSE_PHOTOS 32914
