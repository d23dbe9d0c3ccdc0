#include "app/posting_form_definition.h"

#include <array>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

using K = ControlKind;
using A = ControlAlign;
using F = ControlFont;
using P = ButtonPicture;
using H = Handler;

constexpr FormDefinition kForm{
    "PostingForm", "Contabilizar ventas de contado", 346, 284, 362, 323, 2003, 1, 20,
};

// clang-format off
constexpr std::array kControls{
//                 name            kind              parent       align     left top  w    h    text                       tab flags                    font       picture    key press       exit          click
ControlDefinition{"Panel2",       K::kPanel,         nullptr,     A::kTop,     0,  0,   0,  57, "",                          3, kNoFlags,               F::kWindow, P::kNone,  H::kNone,      H::kNone,    H::kNone},
ControlDefinition{"Label2",       K::kLabel,         "Panel2",    A::kNone,   16,  6, 333,  49,
                  "Este programa genera la contabilización de las ventas diarias de un punto de venta y con el prefijo especificado.",
                                                                                                                  -1, kFixedSize | kWordWrap,F::kWindow, P::kNone,  H::kNone,      H::kNone,    H::kNone},
ControlDefinition{"GroupBox1",    K::kGroupBox,      nullptr,     A::kTop,     0,  0,   0, 105, "Origen:",                   0, kNoFlags,               F::kWindow, P::kNone,  H::kNone,      H::kNone,    H::kNone},
ControlDefinition{"Label5",       K::kLabel,         "GroupBox1", A::kNone,   16, 16,   0,   0, "Servidor : ",              -1, kNoFlags,               F::kWindow, P::kNone,  H::kNone,      H::kNone,    H::kNone},
ControlDefinition{"Servidor",     K::kDropDownList,  "GroupBox1", A::kNone,   76,  8, 120,  21, "",                          0, kFlat,                  F::kWindow, P::kNone,  H::kEnteratab, H::kNone,    H::kNone},
ControlDefinition{"Label8",       K::kLabel,         "GroupBox1", A::kNone,   16, 40,   0,   0, "Usuario : ",               -1, kNoFlags,               F::kWindow, P::kNone,  H::kNone,      H::kNone,    H::kNone},
ControlDefinition{"Tusua",        K::kEdit,          "GroupBox1", A::kNone,   76, 32,  97,  21, "",                          1, kFlat,                  F::kWindow, P::kNone,  H::kEnteratab, H::kNone,    H::kNone},
ControlDefinition{"Label9",       K::kLabel,         "GroupBox1", A::kNone,   17, 64,   0,   0, "Clave : ",                 -1, kNoFlags,               F::kWindow, P::kNone,  H::kNone,      H::kNone,    H::kNone},
ControlDefinition{"TClave",       K::kPasswordEdit,  "GroupBox1", A::kNone,   76, 56,  97,  21, "",                          2, kFlat,                  F::kWindow, P::kNone,  H::kEnteratab, H::kNone,    H::kNone},
ControlDefinition{"Label6",       K::kLabel,         "GroupBox1", A::kNone,   17, 88,   0,   0, "Compañía:",                -1, kNoFlags,               F::kWindow, P::kNone,  H::kNone,      H::kNone,    H::kNone},
ControlDefinition{"Cia",          K::kEdit,          "GroupBox1", A::kNone,   76, 80,  45,  21, "",                          3, kFlat,                  F::kWindow, P::kNone,  H::kEnteratab, H::kCiaExit, H::kNone},
ControlDefinition{"GroupBox2",    K::kGroupBox,      nullptr,     A::kClient,  0,  0,   0,   0, "Parámetros ",               1, kNoFlags,               F::kWindow, P::kNone,  H::kNone,      H::kNone,    H::kNone},
ControlDefinition{"Label4",       K::kLabel,         "GroupBox2", A::kNone,    8, 24,   0,   0, "Desde:",                   -1, kNoFlags,               F::kWindow, P::kNone,  H::kNone,      H::kNone,    H::kNone},
ControlDefinition{"EFecIni",      K::kDatePicker,    "GroupBox2", A::kNone,   45, 16,  89,  21, "",                          0, kNoFlags,               F::kWindow, P::kNone,  H::kEnteratab, H::kNone,    H::kNone},
ControlDefinition{"Label10",      K::kLabel,         "GroupBox2", A::kNone,  136, 23,   0,   0, "Hasta:",                   -1, kNoFlags,               F::kWindow, P::kNone,  H::kNone,      H::kNone,    H::kNone},
ControlDefinition{"EFecFin",      K::kDatePicker,    "GroupBox2", A::kNone,  173, 15,  89,  21, "",                          1, kNoFlags,               F::kWindow, P::kNone,  H::kEnteratab, H::kNone,    H::kNone},
ControlDefinition{"Label11",      K::kLabel,         "GroupBox2", A::kNone,  136, 48,   0,   0, "Prefijo:",                 -1, kNoFlags,               F::kWindow, P::kNone,  H::kNone,      H::kNone,    H::kNone},
ControlDefinition{"Pref",         K::kEdit,          "GroupBox2", A::kNone,  173, 42,  49,  21, "",                          2, kFlat,                  F::kWindow, P::kNone,  H::kNone,      H::kCiaExit, H::kNone},
ControlDefinition{"Panel1",       K::kPanel,         nullptr,     A::kBottom,  0,  0,   0,  53, "",                          2, kNoFlags,               F::kWindow, P::kNone,  H::kNone,      H::kNone,    H::kNone},
ControlDefinition{"SpeedButton3", K::kSpeedButton,   "Panel1",    A::kNone,   37,  2,  65,  50, "F2: Ejecutar",             -1, kDisabled,              F::kNarrow, P::kRun,   H::kNone,      H::kNone,    H::kSpeedButton3Click},
ControlDefinition{"SpeedButton2", K::kSpeedButton,   "Panel1",    A::kNone,  205,  2,  65,  50, "Esc: Cancelar",            -1, kNoFlags,               F::kNarrow, P::kCancel,H::kNone,      H::kNone,    H::kSpeedButton2Click},
ControlDefinition{"Label7",       K::kLabel,         "Panel1",    A::kNone,  275,  1,  67,  15, "Rev:2023/03/30",           -1, kFixedSize,             F::kNarrow, P::kNone,  H::kNone,      H::kNone,    H::kNone},
ControlDefinition{"Panel5",       K::kBannerPanel,   nullptr,     A::kNone,    8, 66, 337,  41, "Generando informe. espere un momento...",
                                                                                                                   4, kHidden,                F::kBanner, P::kNone,  H::kNone,      H::kNone,    H::kNone},
ControlDefinition{"AdvPanel1",    K::kCaptionedPanel,nullptr,     A::kNone,   24, 72, 305, 169, "",                          5, kHidden,                F::kWindow, P::kNone,  H::kNone,      H::kNone,    H::kNone},
};
// clang-format on

}  // namespace

const FormDefinition& PostingFormDefinition() {
  return kForm;
}

std::span<const ControlDefinition> PostingFormControls() {
  return kControls;
}

const ControlDefinition& PostingFormControl(const char* name) {
  for (const ControlDefinition& c : kControls) {
    if (std::strcmp(c.name, name) == 0) return c;
  }
  throw std::logic_error(std::string("no control named ") + name);
}
