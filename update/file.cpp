#include "update/file.h"

#include "base/exception.h"
#include "platform/existence.h"
#include "platform/files.h"
#include "platform/system_error.h"
#include "update/full_path.h"
#include "update/path.h"

namespace {

void CheckCopyPath(const std::u16string& path) {
  CheckPathForm(path, kFilePathLimit);
  if (!platform::DirectoryExists(FolderPart(FullPathOf(path)))) {
    throw EDirectoryNotFoundException(u"The specified path was not found");
  }
}

}  // namespace

uint32_t CopyFileChecked(const std::u16string& source, const std::u16string& target, bool overwrite) {
  CheckCopyPath(source);
  if (!platform::FileExists(source)) throw EFileNotFoundException(u"The specified file was not found");
  CheckCopyPath(target);
  return platform::CopyOneFile(source, target, !overwrite);
}

void TFile::Copy(const std::u16string& source, const std::u16string& target, bool overwrite) {
  if (const uint32_t error = CopyFileChecked(source, target, overwrite)) {
    throw EInOutError(platform::SystemErrorText(error));
  }
}
