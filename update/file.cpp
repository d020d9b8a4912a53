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

void TFile::Copy(const std::u16string& source, const std::u16string& target, bool overwrite) {
  CheckCopyPath(source);
  if (!platform::FileExists(source)) throw EFileNotFoundException(u"The specified file was not found");
  CheckCopyPath(target);
  if (const uint32_t error = platform::CopyOneFile(source, target, !overwrite)) {
    throw EInOutError(platform::SystemErrorText(error));
  }
}
