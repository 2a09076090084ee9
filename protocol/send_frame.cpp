// The single transmission path of a command frame, and the traffic log.
#include "app/globals.h"
#include "app/unit1.h"
#include "comm/comm.h"
#include "protocol/text_numbers.h"
#include "toolkit/event_loop.h"

namespace app {

void TForm1::WriteLogLine(const std::string& line) {
  // Nothing is written through a log that is not open (no protocol started).
  if (!LogFile.IsOpen()) return;
  LogFile.Write(line + "\n");
  // Flushed per line, so a crash or a kill loses no line already shown.
  LogFile.Flush();
}

std::uint8_t TForm1::IdTens() const {
  return protocol::FirstChar(Edi10th->Text());
}
std::uint8_t TForm1::IdUnits() const {
  return protocol::FirstChar(Edi1th->Text());
}

void TForm1::SendFrame(const protocol::CommandFrame& frame) {
  const std::string line = "Tx : " + protocol::HexLine(frame);
  WriteLogLine(line);
  Memo4->Append(line);

  // A frame asked for while another is on the line (from a poll tick or a
  // handler run by the message pump between bytes) is logged at once but
  // goes out whole after the current one: frames mixed byte by byte would
  // reach the dispenser as two corrupted frames.
  framesWaiting_.push_back(frame);
  if (sending_) return;
  sending_ = true;
  while (!framesWaiting_.empty()) {
    const protocol::CommandFrame next = framesWaiting_.front();
    framesWaiting_.pop_front();
    WriteFrameBytes(next);
  }
  sending_ = false;
}

void TForm1::WriteFrameBytes(const protocol::CommandFrame& frame) {
  toolkit::EventLoop& loop = toolkit::Application();
  loop.Sleep(30);
  for (std::uint8_t b : frame) {
    // No component yet (before the first Start Protocol): nothing reaches a port.
    if (Comm1 != nullptr) Comm1->OutputChar(static_cast<char>(b));
    loop.ProcessMessages();
  }
  loop.Sleep(10);
}

}  // namespace app
