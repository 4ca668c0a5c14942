#pragma once

// Process-level set-up held for an object's lifetime: the user's locale, COM in the multithreaded
// apartment and a 1 ms system timer resolution (the frame clock sleeps in whole milliseconds).
class UmbraneAppBase {
 public:
  UmbraneAppBase();
  virtual ~UmbraneAppBase();
  UmbraneAppBase(const UmbraneAppBase&) = delete;
  UmbraneAppBase& operator=(const UmbraneAppBase&) = delete;

 private:
  bool comInitialised_ = false;
};
