#pragma once

#include <string>

// The database slots' texts that make up the connection string of the settings query.
struct DatabaseLogin {
  std::u16string provider;  // Edit8
  std::u16string user;      // Edit5
  std::u16string password;  // Edit6
  std::u16string catalog;   // Edit7
  std::u16string server;    // Edit4
};

// Joins the connection string in its fixed order. A value that would otherwise end its entry
// early or change meaning (a ";", surrounding blanks, a leading quote) is quoted by the
// connection-string rules, so a password such as "a;Data Source=elsewhere" stays a password.
std::u16string BuildConnectionString(const DatabaseLogin& login);

// One value as it must stand after "Key=": unchanged when it needs no quoting.
std::u16string QuoteConnectionStringValue(const std::u16string& value);
