#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Authenticode signatures of the files a run is about to put in place.
namespace platform {

// The results of a verification that portable code tells apart, with the platform's own values (the
// Win32 layer checks them against the system headers).
inline constexpr uint32_t kTrustNoSignature = 0x800B0100;         // TRUST_E_NOSIGNATURE
inline constexpr uint32_t kTrustSubjectFormUnknown = 0x800B0003;  // TRUST_E_SUBJECT_FORM_UNKNOWN
inline constexpr uint32_t kTrustBadDigest = 0x80096010;           // TRUST_E_BAD_DIGEST
inline constexpr uint32_t kCertUntrustedRoot = 0x800B0109;        // CERT_E_UNTRUSTEDROOT
inline constexpr uint32_t kCertExpired = 0x800B0101;              // CERT_E_EXPIRED
inline constexpr uint32_t kCertRevoked = 0x800B010C;              // CERT_E_REVOKED
inline constexpr uint32_t kCryptRevoked = 0x80092010;             // CRYPT_E_REVOKED
inline constexpr uint32_t kCertRevocationFailure = 0x800B010E;    // CERT_E_REVOCATION_FAILURE
inline constexpr uint32_t kCryptNoRevocationCheck = 0x80092012;   // CRYPT_E_NO_REVOCATION_CHECK
inline constexpr uint32_t kCryptRevocationOffline = 0x80092013;   // CRYPT_E_REVOCATION_OFFLINE

// The certificate that signed a file, as the verification found it.
struct Signer {
  std::u16string name;        // its subject's common name, as Windows shows the signer
  std::vector<uint8_t> sha1;  // its thumbprints: hashes of the whole encoded certificate
  std::vector<uint8_t> sha256;
};

struct SignatureCheck {
  uint32_t result = 0;  // 0 when the signature is good and its chain trusted, else why not
  // The revocation status could not be learnt from what the system has cached: result is then that
  // of the same verification without the revocation check.
  bool revocationUnknown = false;
  std::optional<Signer> signer;  // read from the verified state; none when there was no signature
};

// WinVerifyTrust (WINTRUST_ACTION_GENERIC_VERIFY_V2) on file, no UI, the revocation of the whole
// chain checked from what the system has cached only: a sign-in never waits on a revocation server.
// The signer comes from the verified state, never from a second reading of the file.
SignatureCheck CheckSignature(const std::u16string& file);

// Whether two names are the same without regard to letter case, as Windows compares names.
bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace platform
