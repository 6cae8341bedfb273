// The parameter builder: completes a conversion task's input and output records for one job
// from the output format's profile (format INI), the user's choices for that format
// (application INI section "formatInfo" + code) and what the probe found in the source.
#pragma once

#include "engine/media_probe.h"
#include "engine/options/task_options.h"
#include "platform/dialogs.h"
#include "platform/ini_file.h"
#include "workflow/job_options_error.h"
#include "workflow/job_options_rates.h"
#include "workflow/job_record.h"

namespace korvex::workflow {

// The caller has already put the job's own facts into the records (source and output paths,
// trim, crop margins); the probe has the job's source loaded. The builder decides between an
// audio-only and a video conversion, and sets the encoders, rates, channels, volume, disc target,
// frame size, aspect ratio and the crop/scale/pad filter text.
//
// Both INI files are read, never written: `app_ini` is the application INI, `format_ini` the
// delivered format INI. A format whose user section is missing converts with the profile's
// factory defaults. May ask the user once (through `dialogs`) whether to use 320x240 in place of
// an unusable stored frame size. Raises JobOptionsError for a stored value that cannot be used
// (a "paraVolume" that is not a whole number, for one); the records are then partly filled.
void BuildJobOptions(const TlvFilesRecord& job, int format_code, engine::TOutputOptions& output,
                     engine::TCustomMediaProbe& probe, engine::TInputOptions& input,
                     platform::Dialogs& dialogs, const platform::IniFile& app_ini,
                     const platform::IniFile& format_ini);

}  // namespace korvex::workflow
