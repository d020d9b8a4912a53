#include "settings/settings_file.h"

// PENDING: placeholder until the settings file loader lands.
std::u16string gCmnConnector, gCmnHost, gCmnUser, gCmnPswd, gCmnDBName, gSvrCatCode;

bool sfg_ReadSysReg() { return false; }
