// The receive handler: the debug dump, acknowledgement and failure reports,
// reply assembly and the "Rx : " lines, then the decoding of the replies.
#include <vector>

#include "app/globals.h"
#include "app/unit1.h"
#include "comm/comm.h"
#include "protocol/reply_assembler.h"
#include "toolkit/event_loop.h"

namespace app {

namespace {

void ShowReceived(TForm1& form, const std::string& line) {
  form.Memo2->Append(line);
  form.Memo4->Append(line);
  form.WriteLogLine(line);
}

}  // namespace

void TForm1::Comm1ReceiveData(TObject*) {
  const std::uint8_t id10 = IdTens();
  const std::uint8_t id1 = IdUnits();
  if (Comm1 == nullptr) return;
  const std::string bytes = Comm1->ReadInputData();

  if (Debug->Checked()) {
    Memo3->Append(
        protocol::HexLine(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  }

  std::vector<protocol::CommandFrame> replies;
  for (const protocol::ReceivedItem& item : ReplyAssembly.Scan(bytes)) {
    switch (item.kind) {
      case protocol::ReceivedItem::Kind::Ack:
        ShowReceived(*this, "Rx : 06");
        Memo1->Append(protocol::AckText(PendingCommand));
        break;
      case protocol::ReceivedItem::Kind::Failure:
        ShowReceived(*this, "Rx : 0a");
        Memo1->Append(std::string(protocol::FailureText));
        break;
      case protocol::ReceivedItem::Kind::Reply:
        ShowReceived(*this, "Rx : " + protocol::HexLine(item.frame));
        replies.push_back(item.frame);
        break;
    }
  }

  // Every reply completed in this read is decoded from its own ten bytes, in
  // arrival order; an error in one (a count field that is not a number) is
  // shown and does not cost the others.
  for (const protocol::CommandFrame& rx : replies) {
    toolkit::Application().Dispatch([&] { DecodeReply(rx, id10, id1); });
  }
}

}  // namespace app
