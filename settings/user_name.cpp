#include "settings/user_name.h"

// PENDING: placeholder until the user name lookup lands.
std::u16string GetUserName() { return u"Error retrieving username"; }
