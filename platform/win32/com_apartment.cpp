#include "platform/com_apartment.h"

#include <windows.h>

#include <objbase.h>

namespace platform {

// S_FALSE (the thread was already in this apartment) counts as entering: every successful call
// needs its own CoUninitialize.
ComApartment::ComApartment() : entered_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ComApartment::~ComApartment() {
  if (entered_) CoUninitialize();
}

}  // namespace platform
