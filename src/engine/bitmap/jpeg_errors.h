// libjpeg reports a fatal error by calling the error manager's error_exit, which must not
// return; its default ends the process. Ours records libjpeg's text and jumps back to the
// JpegGuarded() call that ran the failing step, which then returns false. A longjmp is what
// libjpeg is built for: a C++ exception would have to unwind through its C frames.
#pragma once

#include <csetjmp>
#include <cstdio>

// After <cstdio>: jpeglib.h uses FILE and size_t without declaring them; jerror.h after it.
#include <jerror.h>
#include <jpeglib.h>

namespace korvex::engine {

struct JpegErrors {
  jpeg_error_mgr manager{};  // first: libjpeg's pointer to it is a pointer to the whole
  std::jmp_buf jump{};
  char message[JMSG_LENGTH_MAX] = {};
};

// Prepares `errors` and returns the manager to put into the library object's `err`.
// Warnings are dropped, except that data ending early is a fatal error: libjpeg would
// otherwise fill the rest of a truncated file with grey and call it a picture.
jpeg_error_mgr* InstallJpegErrors(JpegErrors& errors);

// Runs `step`, a sequence of libjpeg calls; false when libjpeg failed in it, with the reason
// in errors.message. The step is left by a longjmp, without running destructors, so its
// own body must hold only trivially destructible objects (it may use the caller's objects
// by reference); libjpeg's objects stay valid for jpeg_destroy afterwards.
template <typename Step>
bool JpegGuarded(JpegErrors& errors, const Step& step) {
  if (setjmp(errors.jump) != 0) return false;
  step();
  return true;
}

}  // namespace korvex::engine
