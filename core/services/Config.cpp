#include "core/services/Config.h"

#include "core/services/FolderUtil.h"
#include "core/services/Password.h"
#include "core/services/XmlFile.h"
#include "platform/win/SystemMetrics.h"

#include <memory>
#include <mutex>

namespace {

// Spellings as the file has always had them: the section of key 2 with a
// capital P, "dispaly_number" for key 11.
const tavrin::ConfigKey kKeys[CFG_KEY_COUNT] = {
    {"style", "cur_style", "Office XP"},
    {"placement", "x", "0"},
    {"Placement", "y", "0"},
    {"placement", "cx", "0"},
    {"placement", "cy", "0"},
    {"placement", "pane_1_w", "0"},
    {"placement", "pane_1_1_h", "0"},
    {"placement", "pane_1_2_visible", "1"},
    {"placement", "pane_2_2_h", "0"},
    {"placement", "pane_2_2_visible", "1"},
    {"placement", "pane_2_1_1_h", "0"},
    {"message_list", "dispaly_number", "5000"},
    {"proxy", "host", ""},
    {"proxy", "port", ""},
    {"proxy", "username", ""},
    {"proxy", "password", ""},
    {"misc", "cur_visible", "0"},
    {"read", "timeout", "3"},
    {"update", "period", "30"},
    {"update", "message", "1"},
    {"update", "picture", "2"},
    {"update", "contact", "1"},
    {"update", "private_message", "1"},
    {"update", "other_info", "1"},
    {"update", "after_startup", "1"},
    {"update", "new_info_popup", "1"},
    {"compose", "preview", "1"},
    {"style", "view_message_number", "1"},
    {"startup", "minimized", "0"},
    {"app_update", "startup", "1"},
    {"app_update", "stable_only", "0"},
    {"other", "minimize_hidden", "1"},
    {"other", "single_tavrin", "0"},
    {"other", "time_zone", "0"},
};

struct ConfigState {
    // Recursive: SetConfigInt holds it while it calls SetConfig.
    std::recursive_mutex lock;
    std::unique_ptr<CXmlFile> document;
    CString path;
};

ConfigState& State()
{
    static ConfigState* state = new ConfigState; // lives until exit, used by exit-time code too
    return *state;
}

CXmlFile& Document(ConfigState& state)
{
    if (!state.document) {
        state.path = GetAppDir() + "\\config.xml";
        state.document = std::make_unique<CXmlFile>();
        // A file that exists but cannot be read gives an empty document and
        // is never written over in this run: it still holds the settings.
        state.document->Load(state.path, TRUE);
    }
    return *state.document;
}

// Places the cursor on the key's element; creates the missing elements when
// asked.
bool FindKey(CXmlFile& file, const tavrin::ConfigKey& row, bool create)
{
    file.ResetPos();
    return file.FindChildElem("config", create) && file.FindChildElem(row.section, create) &&
           file.FindChildElem(row.key, create);
}

} // namespace

namespace tavrin {

const ConfigKey* GetConfigKey(int id)
{
    return id >= 0 && id < CFG_KEY_COUNT ? &kKeys[id] : nullptr;
}

void ReloadConfig()
{
    ConfigState& state = State();
    std::lock_guard<std::recursive_mutex> lock(state.lock);
    state.document.reset();
}

} // namespace tavrin

CString GetConfig(int id)
{
    const tavrin::ConfigKey* row = tavrin::GetConfigKey(id);
    if (!row)
        return CString();
    ConfigState& state = State();
    std::lock_guard<std::recursive_mutex> lock(state.lock);
    CXmlFile& file = Document(state);
    CString value = FindKey(file, *row, false) ? file.GetData() : CString(row->defaultValue);
    if ((id == CFG_PLACEMENT_CX || id == CFG_PLACEMENT_CY) && value == "0")
        value.Format("%d", GetSystemMetrics(id == CFG_PLACEMENT_CX ? SM_CXSCREEN : SM_CYSCREEN));
    if (id == CFG_PROXY_PASSWORD)
        value = DecryptPassword(value);
    return value;
}

void SetConfig(int id, CString value)
{
    const tavrin::ConfigKey* row = tavrin::GetConfigKey(id);
    if (!row)
        return;
    ConfigState& state = State();
    std::lock_guard<std::recursive_mutex> lock(state.lock);
    if (id == CFG_PROXY_PASSWORD)
        value = EncryptPassword(value);
    CXmlFile& file = Document(state);
    if (!FindKey(file, *row, true))
        return;
    file.SetData(value);
    file.Save(); // atomic; a failure or a kept file leaves the old file and the value in memory
}

void SetConfigInt(int id, int value)
{
    ConfigState& state = State();
    std::lock_guard<std::recursive_mutex> lock(state.lock);
    CString text;
    text.Format("%d", value);
    SetConfig(id, text);
}
