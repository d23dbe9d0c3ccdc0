// The application title: the task-bar caption and the caption of the program's plain boxes.
#pragma once

inline constexpr const char* kApplicationTitle = "Contabiliza ventas contado Prefijo";
