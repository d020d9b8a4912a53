#include "settings/user_name.h"

#include "platform/user_name.h"

std::u16string GetUserName() { return platform::AccountName().value_or(u"Error retrieving username"); }
