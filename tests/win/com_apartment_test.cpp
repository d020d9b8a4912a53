// The thread's apartment, entered and left through the real component-object system, each case on
// a fresh thread.
#include "platform/com_apartment.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <thread>

#include "platform/win32/com_ptr.h"

namespace {

// What creating a component object gives on the calling thread.
HRESULT CreateShellLink() {
  ComPtr<IShellLinkW> link;
  return CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid());
}

template <typename Body>
void OnFreshThread(Body body) {
  std::thread(body).join();
}

TEST(ComApartment, ObjectsCanBeCreatedWhileItLivesAndNotAfter) {
  HRESULT inside = E_FAIL, after = S_OK;
  OnFreshThread([&] {
    {
      const platform::ComApartment apartment;
      inside = CreateShellLink();
    }
    after = CreateShellLink();
  });
  EXPECT_EQ(inside, S_OK);
  EXPECT_EQ(after, CO_E_NOTINITIALIZED);
}

// Entering the apartment the thread is already in counts, and is undone by itself alone.
TEST(ComApartment, EachOneEndsWhatItEntered) {
  HRESULT betweenThem = E_FAIL, after = S_OK;
  OnFreshThread([&] {
    {
      const platform::ComApartment outer;
      { const platform::ComApartment inner; }
      betweenThem = CreateShellLink();
    }
    after = CreateShellLink();
  });
  EXPECT_EQ(betweenThem, S_OK);
  EXPECT_EQ(after, CO_E_NOTINITIALIZED);
}

// A thread of the multithreaded apartment cannot enter a single-threaded one; ending the object
// must not take the thread out of the apartment that it did not enter.
TEST(ComApartment, AThreadOfTheOtherApartmentStaysInIt) {
  HRESULT after = E_FAIL;
  OnFreshThread([&] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    { const platform::ComApartment apartment; }
    after = CreateShellLink();
    CoUninitialize();
  });
  EXPECT_EQ(after, S_OK);
}

}  // namespace
