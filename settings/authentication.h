#pragma once

#include <string>

// How the database login is made: with the login and password of the settings file (SQL Server
// authentication, the default), or with the signed-in user's Windows identity and no password at
// all.
enum class Authentication { Sql, Windows };

// The way an administrator named in Authentication of section [Kestrane]: "SQL" or "Windows", in
// any letter case. Raises Exception for any other value, the empty one included: a run that guessed
// could send a password where none was meant to go.
Authentication ParseAuthentication(const std::u16string& value);
