#include <windows.h>

#include "app/app_title.h"
#include "app/copy.h"
#include "app/run_outcome.h"
#include "base/exception.h"
#include "base/text.h"
#include "platform/com_apartment.h"
#include "platform/system_libraries.h"
#include "platform/window_toolkit.h"

// The message compiler's ids for messages.mc, generated beside the build's resources.
#include "messages.h"

// The outcome table names the messages by their ids; a message moved or re-levelled in messages.mc
// must not leave the records pointing at another text.
static_assert(kMessageUpdateCompleted == MSG_UPDATE_COMPLETED);
static_assert(kMessageUpdateStopped == MSG_UPDATE_STOPPED);
static_assert(kMessageUpdateIncomplete == MSG_UPDATE_INCOMPLETE);
static_assert(kMessageRunRowNotWritten == MSG_RUN_ROW_NOT_WRITTEN);

// The program entry: component objects for this thread first, then the system libraries, then the
// window; the run ends when the window asks the application to end.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const platform::ComApartment comApartment;
  gApplicationTitle = ApplicationTitle(platform::ExecutablePath());
  try {
    platform::LoadSystemLibraries();
    TForm1 form;
    form.Run();
    return form.ExitCode();
  } catch (const Exception& error) {
    platform::ShowStartupFailure(error.KindName(), error.Message());
    return 1;
  } catch (const std::exception& error) {
    platform::ShowStartupFailure(u"Exception", FromUtf8(error.what()));
    return 1;
  }
}
