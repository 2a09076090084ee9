// The status record file: one line per open, write and close.
#include "app/globals.h"
#include "app/unit1.h"
#include "platform/paths.h"
#include "platform/text_file.h"

namespace app {

void TForm1::WriteRecordLine(const std::string& line) {
  std::string reason;
  if (platform::AppendTextFile::AppendLine(platform::ResolveFilePath(RecordFilePath), line,
                                           &reason)) {
    recordFileFailing_ = false;
    return;
  }
  // Told once per run of failed writes, not on every poll tick.
  if (!recordFileFailing_) {
    Memo1->Append("Record file " + RecordFilePath + " cannot be written: " + reason);
  }
  recordFileFailing_ = true;
}

}  // namespace app
