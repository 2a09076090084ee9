// "AUTO TEST": the first of the six self-test steps; the decoder sends the rest.
#include "app/globals.h"
#include "app/unit1.h"
#include "protocol/command_table.h"

namespace app {

void TForm1::BtnTestClick(TObject*) {
  if (ConsumeSpaceKeyLatch()) return;
  SendFrame(protocol::BuildAutoTestStepFrame('0', IdTens(), IdUnits()));
  // The frame goes out before the fields are cleared; their colour stays.
  for (auto field :
       {protocol::TestField::Motor, protocol::TestField::RIR, protocol::TestField::LIR,
        protocol::TestField::ENC, protocol::TestField::Display, protocol::TestField::Counter}) {
    SetTestValue(field, "");
  }
}

}  // namespace app
