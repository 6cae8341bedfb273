#include "engine/bitmap/jpeg_errors.h"

#include <cstring>

namespace korvex::engine {

namespace {

[[noreturn]] void JumpBack(j_common_ptr info) {
  auto* errors = reinterpret_cast<JpegErrors*>(info->err);
  if (info->err->msg_code == JWRN_JPEG_EOF) {
    std::snprintf(errors->message, sizeof errors->message, "it is truncated");
  } else {
    (*info->err->format_message)(info, errors->message);
  }
  std::longjmp(errors->jump, 1);
}

void OnMessage(j_common_ptr info, int level) {
  if (level < 0) {
    if (info->err->msg_code == JWRN_JPEG_EOF) JumpBack(info);
    ++info->err->num_warnings;
  }
}

}  // namespace

jpeg_error_mgr* InstallJpegErrors(JpegErrors& errors) {
  jpeg_error_mgr* manager = jpeg_std_error(&errors.manager);
  manager->error_exit = JumpBack;
  manager->emit_message = OnMessage;
  return manager;
}

}  // namespace korvex::engine
