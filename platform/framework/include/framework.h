// The application framework: a thin layer over Win32 with the classic
// framework's class names and signatures. See platform/framework/README.md.
#pragma once

#include "framework/Defs.h"
#include "framework/Geometry.h"
#include "framework/String.h"
#include "framework/CmdTarget.h"
#include "framework/GdiObject.h"
#include "framework/Font.h"
#include "framework/Brush.h"
#include "framework/Pen.h"
#include "framework/Bitmap.h"
#include "framework/DC.h"
#include "framework/PaintDC.h"
#include "framework/OleDateTime.h"
#include "framework/Collections.h"
#include "framework/Module.h"
#include "framework/Wnd.h"
#include "framework/Dialog.h"
#include "framework/FileDialog.h"
#include "framework/Controls.h"
#include "framework/Button.h"
