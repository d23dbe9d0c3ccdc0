// The pictures of the window's two command buttons, drawn by the program at 46 by 32 pixels on
// a transparent background. The toolkit greys them when the button is disabled.
#pragma once

#include <QPixmap>

inline constexpr int kButtonPictureWidth = 46;
inline constexpr int kButtonPictureHeight = 32;

// Two green curved arrows chasing each other round a circle ("run").
QPixmap RunPicture();
// A red cross ("cancel").
QPixmap CancelPicture();
