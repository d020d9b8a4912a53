#pragma once

#include <string>

#include "base/exception.h"
#include "platform/signature.h"
#include "update/publisher_pin.h"

// What the check of one file found, in words for its log line and the run's record.
struct PublisherVerdict {
  bool accepted = false;
  std::u16string finding;          // "signed by Tavirel Software", "not signed", "altered after signing" ...
  bool revocationUnknown = false;  // accepted, though the certificate's revocation could not be checked
};

// Whether a file whose signature check gave check is the pinned publisher's: a good signature whose
// chain the system trusts (or whose revocation alone could not be learnt offline), by one of the
// pinned names (letter case aside) and, when thumbprints are pinned, with one of those certificates.
PublisherVerdict JudgeSignature(const PublisherPin& pin, const platform::SignatureCheck& check);

// The refusal of a fresh copy that is not the pinned publisher's: its message is what the file's log
// line says, finding what the run's record names the file with.
class EPublisherRefused : public Exception {
 public:
  explicit EPublisherRefused(std::u16string finding);
  const std::u16string& Finding() const { return finding_; }
  const char16_t* KindName() const override { return u"EPublisherRefused"; }

 private:
  std::u16string finding_;
};

// Checks the fresh local copy file, which is about to take its name, against pin. Raises
// EPublisherRefused when it is refused; otherwise returns the verdict.
PublisherVerdict CheckPublisher(const PublisherPin& pin, const std::u16string& file);
