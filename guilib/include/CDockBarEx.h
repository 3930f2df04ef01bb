// CDockBarEx: the dock bar TMXToolbar::FrameEnableDocking gives a frame. It
// lays out its rows as the framework's dock bar does, except that a flat
// TMXToolbar shares no border with its neighbours: flat bars draw one-pixel
// borders of their own, so they sit side by side without overlapping. Every
// other bar overlaps its neighbours by the usual 2 pixels.
#pragma once

#include "TMXUIDefs.h"

class TMXUI_API CDockBarEx : public CDockBar {
public:
    DECLARE_DYNAMIC(CDockBarEx)
    CDockBarEx() = default;

    int GetBarOverlap(CControlBar* bar) const override;
};
