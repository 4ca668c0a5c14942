#include "engine/UmbraneAppBase.h"

#include <windows.h>
#include <mmsystem.h>
#include <objbase.h>

#include <clocale>

UmbraneAppBase::UmbraneAppBase() {
  std::setlocale(LC_ALL, "");
  // The result is ignored on purpose: a thread already in another apartment keeps working.
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  timeBeginPeriod(1);
}

UmbraneAppBase::~UmbraneAppBase() {
  timeEndPeriod(1);
  CoUninitialize();
}
