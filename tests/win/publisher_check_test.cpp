// What the publisher check makes of each answer the signature check can give. The answers
// themselves, from real signed files, are the whole runs' (tests/e2e/test_publisher_pin.py).
#include "update/publisher_check.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace {

using platform::SignatureCheck;
using platform::Signer;

std::vector<uint8_t> Bytes(size_t count, uint8_t first) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(first + i));
  return bytes;
}

const Signer kSite{.name = u"Soci\u00e9t\u00e9 Tavirel", .sha1 = Bytes(20, 1), .sha256 = Bytes(32, 2)};
const Signer kOther{.name = u"Somebody Else", .sha1 = Bytes(20, 3), .sha256 = Bytes(32, 4)};
const Signer kImpostor{.name = u"Soci\u00e9t\u00e9 Tavirel", .sha1 = Bytes(20, 5), .sha256 = Bytes(32, 6)};

// What the signature check answered: its result, whether the revocation was unknown, and the signer
// it read, if any.
SignatureCheck Answer(uint32_t result, bool revocationUnknown, const Signer* signer) {
  SignatureCheck check{.result = result, .revocationUnknown = revocationUnknown, .signer = std::nullopt};
  if (signer) check.signer = *signer;
  return check;
}

}  // namespace

TEST(PublisherCheck, EachAnswerOfTheSignatureCheck) {
  // Names compare without regard to case, beyond ASCII too.
  const PublisherPin byName = ParsePublisherPin(u"Other Name;SOCI\u00c9T\u00c9 TAVIREL", u"", u"");
  struct Case {
    const char* what;
    uint32_t result;
    bool offline;  // the revocation could not be learnt
    const Signer* signer;
    bool accepted;
    std::u16string finding;
    bool revocationUnknown;
  } cases[] = {
      {"the publisher", 0, false, &kSite, true, u"signed by Soci\u00e9t\u00e9 Tavirel", false},
      {"another publisher", 0, false, &kOther, false, u"signed by Somebody Else", false},
      {"not signed", platform::kTrustNoSignature, false, nullptr, false, u"not signed", false},
      {"not a signable file", platform::kTrustSubjectFormUnknown, false, nullptr, false, u"not signed", false},
      {"altered", platform::kTrustBadDigest, false, &kSite, false,
       u"altered after it was signed by Soci\u00e9t\u00e9 Tavirel", false},
      {"untrusted root", platform::kCertUntrustedRoot, false, &kSite, false,
       u"signed by Soci\u00e9t\u00e9 Tavirel with a certificate that chains to no trusted root", false},
      {"revoked", platform::kCertRevoked, false, &kSite, false,
       u"signed by Soci\u00e9t\u00e9 Tavirel with a revoked certificate", false},
      {"revoked, as the revocation check says it", platform::kCryptRevoked, false, &kSite, false,
       u"signed by Soci\u00e9t\u00e9 Tavirel with a revoked certificate", false},
      {"expired", platform::kCertExpired, false, &kSite, false,
       u"signed by Soci\u00e9t\u00e9 Tavirel with a certificate that has expired", false},
      // Offline: let through when all else holds, and said so; refused when something else fails.
      {"revocation unknown", 0, true, &kSite, true, u"signed by Soci\u00e9t\u00e9 Tavirel", true},
      {"revocation unknown, untrusted root", platform::kCertUntrustedRoot, true, &kSite, false,
       u"signed by Soci\u00e9t\u00e9 Tavirel with a certificate that chains to no trusted root", false},
      {"revocation unknown, another publisher", 0, true, &kOther, false, u"signed by Somebody Else", false},
      // A good answer without a signer read from it is no publisher's.
      {"no signer", 0, false, nullptr, false, u"signed, but its signer could not be read", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const PublisherVerdict verdict = JudgeSignature(byName, Answer(c.result, c.offline, c.signer));
    EXPECT_EQ(verdict.accepted, c.accepted);
    EXPECT_EQ(verdict.finding, c.finding);
    EXPECT_EQ(verdict.revocationUnknown, c.revocationUnknown);
  }
}

// A name can be issued to anyone: pinned thumbprints, SHA-1 or SHA-256, admit only those certificates.
TEST(PublisherCheck, PinnedThumbprintsRefuseAnImpostorOfTheSameName) {
  for (const std::vector<uint8_t>& pinned : {kSite.sha1, kSite.sha256}) {
    PublisherPin pin = ParsePublisherPin(u"Soci\u00e9t\u00e9 Tavirel", u"", u"");
    pin.thumbprints = {Bytes(20, 9), pinned};
    EXPECT_TRUE(JudgeSignature(pin, Answer(0, false, &kSite)).accepted);
    const PublisherVerdict impostor = JudgeSignature(pin, Answer(0, false, &kImpostor));
    EXPECT_FALSE(impostor.accepted);
    EXPECT_EQ(impostor.finding,
              u"signed by Soci\u00e9t\u00e9 Tavirel with a certificate whose thumbprint is not pinned");
  }
}

TEST(PublisherCheck, ARefusalSaysTheFileWasNotUpdatedAndWhy) {
  const EPublisherRefused refusal(u"not signed");
  EXPECT_EQ(refusal.Message(), u"Not updated, it is not the pinned publisher's: not signed");
  EXPECT_EQ(refusal.Finding(), u"not signed");
}
