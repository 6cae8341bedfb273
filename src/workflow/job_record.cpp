#include "workflow/job_record.h"

#include "workflow/format_profile.h"

namespace korvex::workflow {

TlvFilesRecord NewJobRecord(std::string source_file, const AppSettings& settings) {
  TlvFilesRecord record;
  record.SourceFile = std::move(source_file);
  record.ZoomMode = settings.Ini().ReadString(FormatSectionName(settings.FormatCode()), "parazoom",
                                              kZoomLetterbox);
  return record;
}

}  // namespace korvex::workflow
