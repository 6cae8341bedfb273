// Fitting the source picture into the output frame by the job's zoom mode: the frame size,
// aspect ratio and crop fields of the output, and the crop/scale/pad filter text.
#pragma once

#include <string>

#include "engine/options/task_options.h"
#include "workflow/job_record.h"

namespace korvex::workflow {

struct FrameSizes {
  int source_width = 0;
  int source_height = 0;
  int width = 0;  // of the output frame
  int height = 0;
};

// Sets FrameSize, AspectRatio and the crop fields of `output` as the job's ZoomMode asks and
// returns the filter text (empty when the mode needs none; nothing is set for an unknown mode).
// "full" stretches; "lbox" scales with the aspect kept and pads the bars; "pan" crops the
// sides or the top and bottom towards 4:3; "center" pads without scaling. The output crop
// fields must hold the job's margins, or 0 where it has none. Raises JobOptionsError when a
// mode has to divide by a size that is not above 0.
std::string FitPicture(const TlvFilesRecord& job, const FrameSizes& sizes,
                       engine::TOutputOptions& output);

}  // namespace korvex::workflow
