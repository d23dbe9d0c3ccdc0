// The definition of the main window TPostingForm: its properties and the table of its controls
// with their kinds, parents, bounds, texts, fonts, tab orders, initial states and the event
// handlers bound to them. The window is built from this data; nothing about its layout lives
// in code elsewhere.
//
// Bounds are pixels at 96 dots per inch inside the parent; the builder scales them with the
// screen's logical dpi. Rows come in creation order, which is also the stacking order among
// siblings (a later row lies in front of an earlier one).
#pragma once

#include <span>


// What a control is.
enum class ControlKind {
  kPanel,           // plain panel with a raised bevel
  kBannerPanel,     // panel with a lowered inner bevel and a centred caption
  kCaptionedPanel,  // the adjustment editor's panel
  kLabel,
  kGroupBox,
  kDropDownList,  // selection only, no typing
  kEdit,
  kPasswordEdit,  // every character shown as "*"
  kDatePicker,    // short date format, drop-down calendar
  kSpeedButton,   // flat, picture above the caption, never takes the focus
};

// How a control is placed inside its parent.
enum class ControlAlign { kNone, kTop, kBottom, kClient };

enum class ControlFont {
  kWindow,  // "MS Sans Serif" 8 pt: a sans face 11 px high
  kNarrow,  // "Arial Narrow" 8 pt: a narrow sans face 11 px high
  kBanner,  // "MS Sans Serif" 10 pt, navy: a sans face 13 px high
};

enum class ButtonPicture { kNone, kRun, kCancel };

// Event handlers of the window that a control can be bound to.
enum class Handler { kNone, kEnteratab, kCiaExit, kSpeedButton3Click, kSpeedButton2Click };

enum ControlFlag : unsigned {
  kNoFlags = 0,
  kHidden = 1u << 0,
  kDisabled = 1u << 1,
  kFixedSize = 1u << 2,  // a label that keeps its bounds instead of fitting its text
  kWordWrap = 1u << 3,
  kFlat = 1u << 4,  // flat bevel, no border
};

struct ControlDefinition {
  const char* name;
  ControlKind kind;
  const char* parent;  // nullptr: the window itself
  ControlAlign align;
  int left, top, width, height;  // width/height 0: sized by the control (labels)
  const char* text;
  int tab_order;  // among its siblings; -1 for controls without one (labels)
  unsigned flags;
  ControlFont font;
  ButtonPicture picture;
  Handler on_key_press;
  Handler on_exit;
  Handler on_click;
};

struct FormDefinition {
  const char* name;
  const char* caption;
  int client_width, client_height;               // at 96 dpi
  int outer_width, outer_height;                 // at 96 dpi, with the frame, for centring
  int initial_year, initial_month, initial_day;  // what the date pickers hold at start
};

const FormDefinition& PostingFormDefinition();
std::span<const ControlDefinition> PostingFormControls();

// REQUIRES: `name` is a row of PostingFormControls(); returns that row.
const ControlDefinition& PostingFormControl(const char* name);
