#pragma once
// The chat's picture button: a file chooser for a picture, and the chosen picture saved as PNG to
// "image/I07abc100.png" (in the program folder when portable, in the player's data folder when
// installed). Nothing is sent and nothing is shown; the file is there for the player to hand on.

#include <gtk/gtk.h>

#include <functional>
#include <string>

#include "platform/types.h"

namespace qrv {

// Loads `source` as a picture (any format gdk-pixbuf reads) and saves it as PNG to `target`,
// making its folder (mode 0700) when it is missing and replacing the file in one step (a failed
// save leaves the old file whole). False when the picture cannot be loaded or saved.
bool SavePictureAsPng(const std::string& source, const std::string& target);

// Opens the picture chooser (filters "(*.bmp)" and "所有文件(*.*)") over the toplevel window of
// `owner`. It is modal but answered without a nested loop, so every window keeps painting;
// `on_chosen` gets the file when the player confirms. False when no chooser could be shown (no
// display) or one is open already (it is brought forward).
bool ChoosePictureFile(HWND owner, std::function<void(const std::string&)> on_chosen);

// The open chooser, or null.
GtkWidget* OpenPictureChooser();

}  // namespace qrv
