// The job record behind one row of the job list: everything the user decided for one source
// file (trim range, crop margins and picture fit, picture adjustments, watermarks). The editing
// dialogs write it; the batch start, the parameter builder and the frame effects read it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "workflow/app_settings.h"
#include "workflow/watermark_entry.h"

namespace korvex::workflow {

// How the picture is fitted into the output frame.
inline constexpr const char* kZoomFull = "full";       // stretched to the frame
inline constexpr const char* kZoomLetterbox = "lbox";  // aspect kept, bars added
inline constexpr const char* kZoomPan = "pan";         // sides or top and bottom cut towards 4:3
inline constexpr const char* kZoomCenter = "center";   // aspect kept, padded without scaling

struct TlvFilesRecord {
  std::string SourceFile;    // full path; equal to the row's caption
  int64_t TrimStart = 0;     // microseconds; 0 = from the beginning
  int64_t TrimDuration = 0;  // microseconds; 0 = up to the end
  std::string ZoomMode = kZoomLetterbox;
  // Margins cut off the source picture, in source pixels, always even.
  int32_t CropTop = 0;
  int32_t CropLeft = 0;
  int32_t CropBottom = 0;
  int32_t CropRight = 0;
  // The same margins in the crop dialog's preview units, as the user typed them there.
  int32_t CropUpView = 0;
  int32_t CropLeftView = 0;
  int32_t CropDownView = 0;
  int32_t CropRightView = 0;
  std::vector<TWmRec> Watermarks;  // in drawing order
  int32_t Brightness = 255;        // 255 = unchanged
  int32_t Contrast = 0;            // 0 = unchanged
  int32_t Saturation = 255;        // 255 = unchanged
  int32_t Exposure = 0;            // 0 = unchanged
  // The crop dialog's "Process Added Text" / "Process Added Image" check boxes.
  bool ProcessText = false;
  bool ProcessImage = false;
};

// The record of a newly added source. Its picture fit is the one the user stored for the
// current output format ("parazoom" of that format's section), "lbox" when none is stored.
TlvFilesRecord NewJobRecord(std::string source_file, const AppSettings& settings);

}  // namespace korvex::workflow
