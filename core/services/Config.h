// The program's settings in "config.xml" of the program folder, addressed by
// key id. One document serves the process under one recursive lock; every
// SetConfig rewrites the file at once, atomically.
#pragma once

#include "platform/base/String.h"

enum {
    CFG_STYLE_CUR_STYLE = 0,
    CFG_PLACEMENT_X,
    CFG_PLACEMENT_Y,
    CFG_PLACEMENT_CX,
    CFG_PLACEMENT_CY,
    CFG_PLACEMENT_PANE_1_W,
    CFG_PLACEMENT_PANE_1_1_H,
    CFG_PLACEMENT_PANE_1_2_VISIBLE,
    CFG_PLACEMENT_PANE_2_2_H,
    CFG_PLACEMENT_PANE_2_2_VISIBLE,
    CFG_PLACEMENT_PANE_2_1_1_H,
    CFG_MESSAGE_LIST_DISPALY_NUMBER,
    CFG_PROXY_HOST,
    CFG_PROXY_PORT,
    CFG_PROXY_USERNAME,
    CFG_PROXY_PASSWORD,
    CFG_MISC_CUR_VISIBLE,
    CFG_READ_TIMEOUT,
    CFG_UPDATE_PERIOD,
    CFG_UPDATE_MESSAGE,
    CFG_UPDATE_PICTURE,
    CFG_UPDATE_CONTACT,
    CFG_UPDATE_PRIVATE_MESSAGE,
    CFG_UPDATE_OTHER_INFO,
    CFG_UPDATE_AFTER_STARTUP,
    CFG_UPDATE_NEW_INFO_POPUP,
    CFG_COMPOSE_PREVIEW,
    CFG_STYLE_VIEW_MESSAGE_NUMBER,
    CFG_STARTUP_MINIMIZED,
    CFG_APP_UPDATE_STARTUP,
    CFG_APP_UPDATE_STABLE_ONLY,
    CFG_OTHER_MINIMIZE_HIDDEN,
    CFG_OTHER_SINGLE_TAVRIN,
    CFG_OTHER_TIME_ZONE,
    CFG_KEY_COUNT
};

// The stored value, or the key's default when it was never stored. Key 3 and
// 4 read "0" as the screen width and height; key 15 is deciphered. An id
// outside the table gives an empty text.
CString GetConfig(int id);
// Stores the value (key 15 enciphered) and rewrites the file. An id outside
// the table is ignored.
void SetConfig(int id, CString value);
// SetConfig with the value as "%d".
void SetConfigInt(int id, int value);

namespace tavrin {

struct ConfigKey {
    const char* section;
    const char* key;
    const char* defaultValue;
};
// The row of an id; nullptr outside the table.
const ConfigKey* GetConfigKey(int id);

// Forgets the document, so that the next call reads "config.xml" again
// (tests that change the program folder).
void ReloadConfig();

} // namespace tavrin
