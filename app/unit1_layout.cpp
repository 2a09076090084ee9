// The window's layout in pixels of the 1146 x 439 client area: the left
// column, a bevel, the command column beside the panes, a bevel, and the
// right column with the auto test.
#include "app/unit1.h"

namespace app {
namespace {

using toolkit::TBounds;
using toolkit::TControl;

// Common sizes.
constexpr int kMargin = 8;
constexpr int kLabelHeight = 14;
constexpr int kEditHeight = 22;
constexpr int kButtonHeight = 26;
constexpr int kRowStride = kButtonHeight + 6;

// Columns: left edge and width.
constexpr int kLeftX = kMargin;
constexpr int kLeftWidth = 248;
constexpr int kBevel1X = kLeftX + kLeftWidth + 8;
constexpr int kMiddleX = kBevel1X + 10;
constexpr int kMiddleWidth = 220;
constexpr int kPanesX = kMiddleX + kMiddleWidth + 8;
constexpr int kPanesWidth = 448;
constexpr int kBevel2X = kPanesX + kPanesWidth + 8;
constexpr int kRightX = kBevel2X + 10;
constexpr int kRightWidth = 1146 - kMargin - kRightX;

constexpr int kClientHeight = 439;

void Place(TControl* control, int left, int top, int width, int height) {
  control->Bounds = TBounds{left, top, width, height};
}

// Two buttons side by side in one row of a column.
void PlacePair(TControl* first, TControl* second, int left, int top, int width) {
  const int half = (width - 6) / 2;
  Place(first, left, top, half, kButtonHeight);
  Place(second, left + width - half, top, half, kButtonHeight);
}

void LayOutLeftColumn(TForm1& f) {
  // ID fields, port and baud rate, labels above.
  const int fieldTop = kMargin + kLabelHeight + 2;
  Place(f.Add10, kLeftX, kMargin, 40, kLabelHeight);
  Place(f.Edi10th, kLeftX, fieldTop, 40, kEditHeight);
  Place(f.Label4, kLeftX + 48, kMargin, 40, kLabelHeight);
  Place(f.Edi1th, kLeftX + 48, fieldTop, 40, kEditHeight);
  Place(f.Label13, kLeftX + 96, kMargin, 70, kLabelHeight);
  Place(f.ComboBox1, kLeftX + 96, fieldTop, 70, kEditHeight);
  Place(f.Label14, kLeftX + 174, kMargin, kLeftWidth - 174, kLabelHeight);
  Place(f.ComboBox2, kLeftX + 174, fieldTop, kLeftWidth - 174, kEditHeight);

  // Start and End, tall.
  PlacePair(f.StartBtn, f.EndBtn, kLeftX, 58, kLeftWidth);
  f.StartBtn->Bounds.Height = f.EndBtn->Bounds.Height = 40;

  // The DIP row: a number over each lamp, then the legend.
  Place(f.DipBtn, kLeftX, 108, kLeftWidth, kButtonHeight);
  Place(f.Panel2, kLeftX, 138, kLeftWidth, 44);
  toolkit::TLabel* numbers[10] = {f.Label1, f.Label2, f.Label3, f.Label5,  f.Label6,
                                  f.Label7, f.Label8, f.Label9, f.Label10, f.Label11};
  const int slot = (kLeftWidth - 8) / 10;
  for (int i = 0; i < 10; ++i) {
    const int x = 4 + i * slot;
    Place(numbers[i], x, 5, slot, kLabelHeight);
    numbers[i]->Alignment = toolkit::taCenter;
    Place(f.Lamp(i + 1), x + (slot - 14) / 2, 23, 14, 14);
  }
  const int legendTop = 188;
  Place(f.Label21, kLeftX + 60, legendTop + 2, 10, 10);
  Place(f.Label22, kLeftX + 75, legendTop, 30, kLabelHeight);
  Place(f.Label23, kLeftX + 140, legendTop + 2, 10, 10);
  Place(f.Label24, kLeftX + 155, legendTop, 30, kLabelHeight);

  // The bill count, three times the normal height, beside its two buttons.
  Place(f.EdiOutBill, kLeftX, 212, 96, 58);
  Place(f.OutBtn, kLeftX + 104, 212, kLeftWidth - 104, kButtonHeight);
  Place(f.OutBtnStep, kLeftX + 104, 244, kLeftWidth - 104, kButtonHeight);

  Place(f.Exitbtn, kLeftX, 282, kLeftWidth, 30);

  // "Debug" with the hidden debug pane beside it.
  Place(f.Debug, kLeftX, 324, 60, 18);
  Place(f.Memo3, kLeftX + 64, 324, kLeftWidth - 64, kClientHeight - kMargin - 324);
}

void LayOutMiddleColumn(TForm1& f) {
  int y = kMargin;
  const auto row = [&y] {
    const int top = y;
    y += kRowStride;
    return top;
  };
  Place(f.CalibBtn, kMiddleX, row(), kMiddleWidth, kButtonHeight);
  PlacePair(f.ClearCtBtn, f.ClearBKBtn, kMiddleX, row(), kMiddleWidth);
  Place(f.ClearBKCtBtn, kMiddleX, row(), kMiddleWidth, kButtonHeight);
  PlacePair(f.DisableBtn, f.EnableBtn, kMiddleX, row(), kMiddleWidth);
  Place(f.StatusBtn, kMiddleX, row(), kMiddleWidth, kButtonHeight);
  PlacePair(f.ErrBtn, f.CrErrBtn, kMiddleX, row(), kMiddleWidth);
  Place(f.BillCountBtn, kMiddleX, row(), kMiddleWidth, kButtonHeight);
  Place(f.PowerOutBtn, kMiddleX, row(), kMiddleWidth, kButtonHeight);
  PlacePair(f.PwEnable, f.PwDisable, kMiddleX, row(), kMiddleWidth);
  Place(f.TestBtn, kMiddleX, row(), kMiddleWidth, kButtonHeight);
  Place(f.PwBtn, kMiddleX, row(), kMiddleWidth, kButtonHeight);
  // The status poll at the foot of the column.
  Place(f.Button2, kMiddleX, kClientHeight - kMargin - 32, kMiddleWidth, 32);
}

void LayOutPanes(TForm1& f) {
  const int half = (kPanesWidth - 8) / 2;
  const int topHeight = 246;
  Place(f.Memo1, kPanesX, kMargin, half, topHeight);
  Place(f.Memo2, kPanesX + kPanesWidth - half, kMargin, half, topHeight);
  const int bottomTop = kMargin + topHeight + 8;
  Place(f.Memo4, kPanesX, bottomTop, kPanesWidth, kClientHeight - kMargin - bottomTop);
}

void LayOutRightColumn(TForm1& f) {
  Place(f.BtnTest, kRightX, kMargin, kRightWidth, 32);

  // Six rows: the caption, then its cream value field.
  constexpr int kRowHeight = 30;
  Place(f.Panel4, kRightX, 48, kRightWidth, 6 * kRowHeight + 8);
  toolkit::TLabel* captions[6] = {f.Label15, f.Label16, f.Label17, f.Label18, f.Label19, f.Label20};
  toolkit::TLabel* values[6] = {f.lblMOTOR, f.lblRIR,     f.lblLIR,
                                f.lblENC,   f.lblDISPLAY, f.lblCOUNTER};
  const int valueWidth = 60;
  for (int i = 0; i < 6; ++i) {
    const int top = 4 + i * kRowHeight;
    Place(captions[i], 6, top + 4, kRightWidth - valueWidth - 16, kLabelHeight + 4);
    Place(values[i], kRightWidth - valueWidth - 6, top + 2, valueWidth, kEditHeight);
    values[i]->Alignment = toolkit::taCenter;
  }

  Place(f.Button1, kRightX, 48 + 6 * kRowHeight + 16, kRightWidth, 32);

  // The pause between single bills, at the bottom.
  const int pauseTop = kClientHeight - kMargin - kEditHeight;
  Place(f.Edit1, kRightX, pauseTop, kRightWidth - 28, kEditHeight);
  Place(f.Label25, kRightX + kRightWidth - 22, pauseTop + 4, 22, kLabelHeight);
}

}  // namespace

void LayOut(TForm1& form) {
  LayOutLeftColumn(form);
  Place(form.Panel1, kBevel1X, 4, 2, kClientHeight - 8);
  LayOutMiddleColumn(form);
  LayOutPanes(form);
  Place(form.Panel3, kBevel2X, 4, 2, kClientHeight - 8);
  LayOutRightColumn(form);
}

}  // namespace app
