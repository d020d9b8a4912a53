#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The ADO-style connection string ("Key=value;Key=value") that the database layer takes: written
// by the settings query, read by the layer when it opens the connection. Writer and reader keep
// one rule between them, so that every value written reads back as it was.
namespace platform {

// The entries of a connection string. Keys match without regard to case and the last entry of a
// key wins. A value may be enclosed in double or single quotes (the same mark doubled inside
// stands for itself); otherwise blanks around it are dropped.
class ConnectionProperties {
 public:
  // Throws EDatabaseError when the text breaks those rules (an entry without "=", an unclosed
  // quote, text after a closing quote).
  static ConnectionProperties Parse(std::u16string_view text);

  std::optional<std::u16string> Find(std::u16string_view key) const;

 private:
  std::vector<std::pair<std::u16string, std::u16string>> entries_;
};

// What the settings query logs in with.
struct DatabaseLogin {
  std::u16string provider;
  std::u16string user;
  std::u16string password;
  std::u16string catalog;
  std::u16string server;
  // The signed-in user's Windows identity instead of user and password, which are then left out.
  bool windowsAuthentication = false;
};

// Joins the connection string in its fixed order; Windows authentication is asked for as the OLE DB
// providers take it ("Integrated Security=SSPI"). A value that would otherwise end its entry
// early or change meaning (a ";", surrounding blanks, a leading quote) is quoted by the
// connection-string rules, so a password such as "a;Data Source=elsewhere" stays a password.
std::u16string BuildConnectionString(const DatabaseLogin& login);

// One value as it must stand after "Key=": unchanged when it needs no quoting.
std::u16string QuoteConnectionStringValue(const std::u16string& value);

}  // namespace platform
