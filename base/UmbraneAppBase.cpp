#include "base/UmbraneAppBase.h"

#include <windows.h>
#include <mmsystem.h>
#include <objbase.h>

#include <clocale>

namespace {
// The locale is process-wide: it is set by the first object only. Setting it again would free the
// locale in use while the threads of an earlier object may still be formatting numbers.
void SetUserLocaleOnce() {
  static const bool set = [] {
    std::setlocale(LC_ALL, "");
    return true;
  }();
  (void)set;
}
}  // namespace

UmbraneAppBase::UmbraneAppBase() {
  SetUserLocaleOnce();
  // A thread already in another apartment keeps working in it; only a successful initialisation
  // (S_OK or S_FALSE) is balanced at destruction.
  comInitialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
  timeBeginPeriod(1);
}

UmbraneAppBase::~UmbraneAppBase() {
  timeEndPeriod(1);
  if (comInitialised_) CoUninitialize();
}
