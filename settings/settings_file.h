#pragma once

#include <string>

// The connection settings, read from the local settings file by sfg_ReadSysReg.
extern std::u16string gCmnConnector;
extern std::u16string gCmnHost;
extern std::u16string gCmnUser;
extern std::u16string gCmnPswd;
extern std::u16string gCmnDBName;
extern std::u16string gSvrCatCode;

// Kestrane's own setting beside them, from section "Kestrane": which files a run copies, as the
// administrator wrote it ("all" when the file, section or key is missing); the update step reads it.
extern std::u16string gKestraneRefresh;
// And the table each run leaves its row in, as written (empty for none); judged when the update
// starts, by QuotedRunsTable.
extern std::u16string gKestraneRunsTable;

// The publisher pin, as written (empty when a key is absent): the signers' names, their
// certificates' thumbprints, and the data files that may come unsigned; judged when the update
// starts, by ParsePublisherPin.
extern std::u16string gKestranePublisher;
extern std::u16string gKestranePublisherThumbprint;
extern std::u16string gKestraneUnsigned;
// How the database login is made, as written ("SQL" when absent); judged by the settings query.
extern std::u16string gKestraneAuthentication;

// Why the settings file cannot be read as its administrator meant it, as the message of the error
// that stops the update; empty when it can (or when there is none).
extern std::u16string gSettingsFileFault;

// Finds the settings file under the Program Files folder and reads the six values of its section
// "Common" into the connection settings, and Kestrane's own settings. False when no root, folder or
// file is found.
bool sfg_ReadSysReg();
