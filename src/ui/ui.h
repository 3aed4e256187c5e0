#pragma once
// Everything window code needs from the skinned toolkit.

#include "ui/controls/button.h"
#include "ui/controls/combo.h"
#include "ui/controls/container.h"
#include "ui/controls/control.h"
#include "ui/controls/edit.h"
#include "ui/controls/label.h"
#include "ui/controls/layouts.h"
#include "ui/controls/list.h"
#include "ui/controls/progress.h"
#include "ui/core/ui_types.h"
#include "ui/dialog_builder.h"
#include "ui/markup.h"
#include "ui/notify.h"
#include "ui/paint_manager.h"
#include "ui/skinned_window.h"
#include "ui/window_wnd.h"
